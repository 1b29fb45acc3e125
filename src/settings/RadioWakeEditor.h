#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "model/Settings.h"
#include "services/Sonvela.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QSlider;

namespace corvane {

class AppModel;
class Caption;
class ElidedText;
class StationPicker;
class ThemedButton;
class WarningText;

// What the radio editors reach outside the program: the clipboard and the
// station directory. Tests hand in their own text and a loopback directory.
struct RadioLinks {
    // The clipboard's text, none when it holds none.
    std::function<std::optional<QString>()> clipboardText = systemClipboardText;
    Sonvela::DirectoryOptions directory;

    static std::optional<QString> systemClipboardText();
};

// What the settings window's alarms page hands its editors: the desktop's
// clipboard and the public directory, unless a test set its own.
RadioLinks& defaultRadioLinks();

// How one alarm wakes: with its own sound, or by starting the radio program
// with a mode, station, fade-in and volume. Everything shown is read from the
// alarm each time the settings change; edits go straight into the model.
class RadioWakeEditor : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLabelWidth = 80;
    static constexpr int kSilenceSeconds = 45;
    // Longer clipboard texts are not a wake link; reading them as a URL would
    // only cost time.
    static constexpr qsizetype kMaxLinkLength = 4096;

    enum class Notice { notInstalled, chooseStation, testFailed, silence };

    RadioWakeEditor(AppModel& model, int index, RadioLinks links = {}, QWidget* parent = nullptr);
    ~RadioWakeEditor() override;

    // "Aus – sofort laut", "In 45 Sekunden lauter", "In 2 Minuten lauter".
    static QString fadeLabel(qint64 seconds);
    static const std::vector<qint64>& fadeOptions();
    // The fade picker's entries for a stored value: the fixed ones, with the
    // stored value first when it is none of them.
    static std::vector<qint64> fadeEntries(qint64 stored);
    // The one notice under the radio rows, the most important first.
    static Notice noticeFor(const AlarmSettings& alarm, bool installed, bool testFailed);
    // A slider position as a stored volume: nearest whole per cent, 1...100.
    static qint64 volumeFromSlider(double value);

    // Reads the alarm and asks the (cached) installed state again.
    void refresh();

    void pickStation(const Sonvela::Station& station);
    void pasteWakeLink();
    void testPlay();
    void openPicker();

    bool testFailed() const { return testFailed_; }
    const std::optional<QString>& linkMessage() const { return linkMessage_; }
    Notice notice() const { return notice_; }
    // The open picker, while "Suchen …" shows one.
    StationPicker* picker() const;

    // The controls, for tests and the end-to-end script's accessibility names.
    QComboBox* fadePicker() const { return fade_; }
    QComboBox* modePicker() const { return mode_; }
    QSlider* volumeSlider() const { return volume_; }
    ThemedButton* sourceButton(bool radio) const { return radio ? sonvela_ : tone_; }
    ThemedButton* searchButton() const { return search_; }
    ThemedButton* pasteButton() const { return paste_; }
    ThemedButton* testButton() const { return test_; }
    QWidget* radioRows() const { return radioRows_; }
    const ElidedText& stationText() const { return *station_; }
    QString volumeText() const;

protected:
    bool event(QEvent* event) override;

private:
    const AlarmSettings& alarm() const;
    template <typename Edit>
    void editAlarm(Edit&& edit);
    void refreshStation(const QString& uuid);
    void closePicker();

    AppModel& model_;
    int index_;
    RadioLinks links_;
    bool testFailed_ = false;
    std::optional<QString> linkMessage_;
    Notice notice_ = Notice::silence;
    std::vector<qint64> shownFades_;

    ThemedButton* tone_;
    ThemedButton* sonvela_;
    QComboBox* fade_;
    QWidget* radioRows_;
    QComboBox* mode_;
    Caption* randomCaption_;
    QWidget* stationRow_;
    ElidedText* station_;
    ThemedButton* search_;
    QSlider* volume_;
    QLabel* volumeLabel_;
    ThemedButton* paste_;
    ThemedButton* test_;
    Caption* linkCaption_;
    QWidget* missingRow_;
    QLabel* downloadLink_;
    WarningText* warning_;
    Caption* silenceCaption_;
    QPointer<QWidget> popup_;
};

// One line of text cut off at its end to the width it gets, in the primary
// or the secondary text colour. A text set as whole (a fixed text of the
// program, not a name from elsewhere) asks for its full width instead.
class ElidedText : public QWidget {
    Q_OBJECT
public:
    explicit ElidedText(QWidget* parent = nullptr);
    void setText(const QString& text, bool whole = false);
    const QString& text() const { return text_; }
    void setPrimary(bool primary);
    bool isPrimary() const { return primary_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    bool primary_ = true;
    bool whole_ = false;
};

// A small symbol in a fixed square, in the secondary text colour.
class SymbolView : public QWidget {
    Q_OBJECT
public:
    SymbolView(const QString& symbol, int side, QWidget* parent = nullptr);
    void setSymbol(const QString& symbol);
    void setColor(std::optional<QColor> color);
    const QString& symbol() const { return symbol_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    std::optional<QColor> color_;
};

}  // namespace corvane
