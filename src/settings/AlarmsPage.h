#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "appmodel/ModelServices.h"
#include "model/Settings.h"
#include "settings/RadioWakeEditor.h"
#include "shell/components/Card.h"

class QCheckBox;

namespace corvane {

class AppModel;
class Caption;
class NumberPicker;
class ReliabilityCard;
class SoundEditor;
class SwitchToggle;
class WarningText;

// Seven checkboxes, one per weekday in the order of the given week (the
// calendar's first day first). The stored numbers stay 1 = Sunday ... 7.
class WeekdayChecks : public QWidget {
    Q_OBJECT
public:
    explicit WeekdayChecks(const std::vector<WeekdayEntry>& week, QWidget* parent = nullptr);

    void setDays(WeekdaySet days);
    WeekdaySet days() const;
    // In shown order.
    const std::vector<QCheckBox*>& boxes() const { return boxes_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

Q_SIGNALS:
    // After the user ticked or unticked a day: the whole new set.
    void daysEdited(WeekdaySet days);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    static constexpr int kGap = 2;
    static constexpr int kColumns = 4;  // on two rows
    int oneRowWidth() const;
    int columnWidth() const;
    int rowHeight() const;

    std::vector<WeekdayEntry> week_;
    std::vector<QCheckBox*> boxes_;
};

// One alarm: switch, time, weekdays, what it repeats and when it rings next,
// how it wakes, and its sound.
class AlarmCard : public Card {
    Q_OBJECT
public:
    AlarmCard(AppModel& model, int index, const RadioLinks& links, const std::vector<WeekdayEntry>& week,
              QWidget* parent = nullptr);

    // Reads the alarm again; the page calls it on every settings change and
    // when the minute turns (the next-alarm line names "heute" or "morgen").
    void refresh();

    SwitchToggle* enabledSwitch() const { return switch_; }
    NumberPicker* hourPicker() const { return hour_; }
    NumberPicker* minutePicker() const { return minute_; }
    WeekdayChecks* weekdays() const { return weekdays_; }
    RadioWakeEditor* radioEditor() const { return radio_; }
    QString repeatLine() const;
    QString nextAlarmLine() const;
    // The volume warning and the fallback caption; empty when not shown.
    QString volumeWarning() const;
    QString fallbackCaption() const;
    SoundEditor* soundEditor() const { return sound_; }

    // "Lautstärke 0 % – dieser Wecker ist nicht zu hören." applies.
    static bool showsVolumeWarning(const AlarmSettings& alarm);

private:
    template <typename Edit>
    void editAlarm(Edit&& edit);
    const AlarmSettings& alarm() const;

    AppModel& model_;
    int index_;
    SwitchToggle* switch_;
    NumberPicker* hour_;
    NumberPicker* minute_;
    WeekdayChecks* weekdays_;
    Caption* repeat_;
    Caption* next_;
    RadioWakeEditor* radio_;
    WarningText* volumeWarning_;
    Caption* fallback_;
    SoundEditor* sound_;
};

// The "Wecker" page: the reliability card above the four alarm cards.
class AlarmsPage : public QWidget {
    Q_OBJECT
public:
    explicit AlarmsPage(AppModel& model, RadioLinks links = {}, QWidget* parent = nullptr,
                        const std::vector<WeekdayEntry>& week = weekdaySymbols());

    ReliabilityCard* reliabilityCard() const { return reliability_; }
    AlarmCard* card(int index) const { return cards_.at(std::size_t(index)); }

private:
    void refresh();
    void nowChanged();

    AppModel& model_;
    ReliabilityCard* reliability_;
    std::array<AlarmCard*, 4> cards_{};
    qint64 shownMinute_ = -1;
};

}  // namespace corvane
