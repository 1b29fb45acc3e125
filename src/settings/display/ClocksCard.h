#pragma once

#include <QWidget>
#include <array>
#include <map>

#include "dial/DialGeometry.h"
#include "model/Settings.h"
#include "settings/kit/FittedLineEdit.h"
#include "shell/components/Card.h"


namespace corvane {

class AppModel;
class ClockDesignButton;
class IconButton;
class RowStack;
class ThemedButton;
class ThemedLabel;
class TimeZoneButton;

// The current time of a row's clock, "HH:mm:ss", repainted only when the
// second it shows changes.
class RowTime : public QWidget {
    Q_OBJECT
public:
    RowTime(AppModel& model, QWidget* parent = nullptr);
    void setZone(const QTimeZone& zone);
    const QString& text() const { return text_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void follow();

    AppModel& model_;
    ZoneClock clock_;
    qint64 shownSecond_ = std::numeric_limits<qint64>::min();
    QString text_;
};

// One clock of the list: number, design button, zone button, label field,
// current time, and the move and remove buttons. The row belongs to the
// clock's id: when the clock moves, the row moves with everything open or
// typed in it.
class ClockRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxLabel = 30;

    ClockRow(AppModel& model, const ClockEntry& clock, QWidget* parent = nullptr);

    // The clock at position `index` of `count`, as the model has it now.
    void setClock(const ClockEntry& clock, int index, int count);
    const QString& clockID() const { return clockID_; }

    ThemedLabel* number() const { return number_; }
    ClockDesignButton* designButton() const { return design_; }
    TimeZoneButton* zoneButton() const { return zone_; }
    FittedLineEdit* labelField() const { return label_; }
    RowTime* time() const { return time_; }
    IconButton* upButton() const { return up_; }
    IconButton* downButton() const { return down_; }
    IconButton* removeButton() const { return remove_; }
    // The row's controls in the order Tab visits them.
    std::array<QWidget*, 6> focusOrder() const;

    // Stores a typed label, cut to 30 characters, in the row's clock; nothing
    // when the clock is gone.
    void setLabel(const QString& text);

    // The widths of the card's column of zone buttons.
    void setZoneColumn(int natural, int smallest);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitZone();

    AppModel& model_;
    QString clockID_;
    QString zoneID_;  // the zone the time shows; null until the first clock
    ThemedLabel* number_;
    ClockDesignButton* design_;
    TimeZoneButton* zone_;
    FittedLineEdit* label_;
    RowTime* time_;
    IconButton* up_;
    IconButton* down_;
    IconButton* remove_;
};

// "Uhren & Zeitzonen": every clock of the settings in order, with adding,
// moving and removing. Rows are updated in place, never rebuilt, so typing
// in a row survives any change of the model.
class ClocksCard : public Card {
    Q_OBJECT
public:
    explicit ClocksCard(AppModel& model, QWidget* parent = nullptr);

    ThemedButton* addButton() const { return add_; }
    int rowCount() const;
    ClockRow* row(int index) const;
    ClockRow* rowFor(const QString& clockID) const;
    // The rows, which glide to their places after a change of the list.
    RowStack* rows() const { return rows_; }

private:
    void refresh();
    void alignZoneButtons();
    void chainFocus();

    AppModel& model_;
    ThemedButton* add_;
    RowStack* rows_;
    std::map<QString, ClockRow*> byID_;
};

}  // namespace corvane
