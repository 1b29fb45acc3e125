#pragma once

#include <QFont>
#include <QPainterPath>
#include <QStaticText>
#include <QWidget>
#include <array>
#include <vector>

#include "services/CountdownService.h"
#include "services/StopwatchService.h"

namespace corvane {

class AppModel;
class FlowLayout;
class IconButton;

// What one bar shows; derived from the model, so it can be checked without
// painting.
struct TimerBarState {
    enum class Kind { countdown, stopwatch };
    Kind kind = Kind::countdown;
    int index = 0;
    QString title;
    QString symbol;
    QString time;
    QString status;  // empty while running
    bool running = false;
    QString toggleSymbol;
    QString toggleHelp;
    QString stopHelp;
    QString removeHelp;
    bool stopEnabled = false;

    bool operator==(const TimerBarState&) const = default;

    // The bars in use, countdowns first, each in index order.
    static std::vector<TimerBarState> of(const AppModel& model);
    static TimerBarState countdown(const AppModel& model, int index);
    static TimerBarState stopwatch(const AppModel& model, int index);
};

// One bar: symbol, title, time, status and three buttons on a rounded plate.
// It prefers the full layout and falls back to the compact one (symbol, time,
// buttons) when the width it gets is smaller. Texts are painted, so a new
// reading of a running timer repaints its digits only.
class TimerBar : public QWidget {
    Q_OBJECT
public:
    explicit TimerBar(QWidget* parent = nullptr);

    void setState(const TimerBarState& state);
    // The same state with a new reading (what the fast tick changes).
    void setTime(const QString& time);
    const TimerBarState& state() const { return state_; }
    bool compact() const { return compact_; }
    // Title, time and status as one line, built only when asked for.
    QString accessibleLabel() const;
    // The plate in this widget's coordinates: it hugs the chosen layout.
    QRectF plateRect() const;

    IconButton* toggleButton() const { return buttons_[0]; }
    IconButton* stopButton() const { return buttons_[1]; }
    IconButton* removeButton() const { return buttons_[2]; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void togglePressed();
    void stopPressed();
    void removePressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Metrics {
        double symbol = 0;
        double title = 0;
        double blank = 0;
        double time = 0;
        double status = 0;
        double buttons = 0;
        double height = 0;
        bool operator==(const Metrics&) const = default;
    };
    void remeasure();
    double fullWidth() const;
    double compactWidth() const;
    double contentLeft() const;
    QRectF timeRect() const;
    QRect digitsRect() const;
    QRect plateInterior() const;
    void place();

    TimerBarState state_;
    Metrics metrics_;
    const QPainterPath* symbol_;
    std::array<IconButton*, 3> buttons_{};
    QFont font_;
    QFont timeFont_;
    QFont statusFont_;
    bool compact_ = false;
};

// The bars of all countdowns and stopwatches in use, in centred rows. Takes
// no space when none is in use.
class TimerBars : public QWidget {
    Q_OBJECT
public:
    explicit TimerBars(AppModel& model, QWidget* parent = nullptr);

    const std::vector<TimerBar*>& bars() const { return bars_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

private:
    void rebuild();
    void refreshTexts();
    void connectBar(TimerBar* bar);

    AppModel& model_;
    FlowLayout* flow_;
    std::vector<TimerBar*> bars_;
};

}  // namespace corvane
