#pragma once

#include <QPointer>
#include <QWidget>
#include <limits>
#include <optional>

#include "dial/AnalogClock.h"
#include "dial/DialGeometry.h"
#include "dial/SweepLayer.h"
#include "model/Settings.h"
#include "shell/digital/EditHighlight.h"
#include "shell/grid/HandRegion.h"

class QVBoxLayout;

namespace corvane {

class AppModel;
class ClockCaption;
class ClockGrid;
class DigitalTime;
class FittedText;
class ScaleDownToFit;
class TimerBars;

// The greeting line over the clocks. Its size follows the window width
// (width / 22, kept between 22 and 40) and it leaves the corners free for
// the window buttons and the toolbar.
class GreetingHeader : public QWidget {
    Q_OBJECT
public:
    explicit GreetingHeader(QWidget* parent = nullptr);
    static constexpr int kHeight = 60;  // 10 above, 50 for the line
    static constexpr int kSideInset = 96;
    static double fontSizeFor(double width);

    void setText(const QString& text);
    FittedText* line() const { return line_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    FittedText* line_;
};

// A lone analog clock with its caption. Each frame paints the cached face
// and the hands, and only when the hands moved; with a sweeping second hand
// the face and the slow hands come as one stored picture.
class SingleAnalogClock : public QWidget {
    Q_OBJECT
public:
    // The edit ring lies outside the dial; it is drawn on `markHost` (an
    // ancestor with room around this widget), or on this widget without one.
    explicit SingleAnalogClock(QWidget* parent = nullptr, QWidget* markHost = nullptr);
    ~SingleAnalogClock() override;

    // `caption` false hides title and zone line.
    void setClock(const AnalogClock& clock, const QTimeZone& zone, bool caption, const QString& title,
                  const QString& subtitle);
    void setHighlighted(bool highlighted);
    void setNow(qint64 msecsSinceEpoch);

    QRectF dialRect() const;
    const AnalogClock& clock() const { return clock_; }
    ClockCaption* caption() const { return caption_; }
    EditHighlight* highlight() const { return highlight_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool event(QEvent* event) override;

private:
    void place();
    QRectF computeDialRect() const;

    AnalogClock clock_;
    ZoneClock zoneClock_;
    qint64 now_ = 0;
    qint64 shownFrame_ = -1;
    handregion::Painted paintedHands_;  // where the last frame drew the hands
    SweepLayer sweep_;
    QRectF dial_;                       // the dial's square, kept from the last layout
    double dpr_ = 1.0;                  // the device pixel ratio of the last paint
    ClockCaption* caption_;
    QPointer<EditHighlight> highlight_;
    QWidget* markHost_;
    bool highlighted_ = false;
};

// The clock screen: greeting, the clock area (one digital clock, one analog
// clock or the grid with the armed-alarm line) and the timer bars. At each
// tick only what shows the time is touched: the dials repaint, digital texts
// only when they change.
class ClockView : public QWidget {
    Q_OBJECT
public:
    enum class Area { none, digital, analog, grid };

    explicit ClockView(AppModel& model, QWidget* parent = nullptr);
    ~ClockView() override;

    Area area() const { return area_; }
    GreetingHeader* header() const { return header_; }
    QWidget* areaWidget() const { return areaWidget_; }
    ClockGrid* grid() const { return grid_; }
    SingleAnalogClock* singleAnalog() const { return analog_; }
    ScaleDownToFit* singleDigital() const { return digitalScaler_; }
    DigitalTime* digitalTime() const { return digitalTime_; }
    FittedText* alarmsLine() const { return alarmsLine_; }
    TimerBars* timerBars() const { return timerBars_; }

    // Insets of the clock area: left, top, right, bottom.
    static QMargins areaInsets(Area area, bool greetingShown);

protected:
    bool event(QEvent* event) override;

private:
    void refresh();
    void rebuildArea(Area area);
    void buildDigitalBlock(const ClockEntry& clock);
    void refreshClocks();
    void showAlarms();
    void refreshTimeTexts(bool force);
    void refreshHighlight();
    void tick();

    AppModel& model_;
    QVBoxLayout* layout_;
    GreetingHeader* header_;
    QWidget* areaWidget_ = nullptr;
    TimerBars* timerBars_;
    Area area_ = Area::none;

    // Grid variant.
    ClockGrid* grid_ = nullptr;
    FittedText* alarmsLine_ = nullptr;
    // Single analog clock.
    SingleAnalogClock* analog_ = nullptr;
    // Single digital clock.
    ScaleDownToFit* digitalScaler_ = nullptr;
    DigitalTime* digitalTime_ = nullptr;
    FittedText* digitalDate_ = nullptr;
    FittedText* digitalZoneLine_ = nullptr;
    FittedText* digitalAlarms_ = nullptr;
    QTimeZone digitalZone_;
    std::optional<ClockEntry> digitalClock_;
    AppSettings shownFor_;  // the settings the area was built for
    qint64 shownSecond_ = std::numeric_limits<qint64>::min();
    qint64 shownMinute_ = std::numeric_limits<qint64>::min();
};

}  // namespace corvane
