#pragma once

// What the world map decides from the pointer, apart from any widget: the
// city within reach of a point, where the card goes, which cities carry a
// clock number, and the hover / pin state with its delayed hide.

#include <QHash>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>
#include <span>

#include "model/WorldCity.h"

namespace corvane {

class AppModel;

// The most populous city within max(w / 110, 8) of `point`, walking the
// catalogue least populous first so that a tie goes to the later city.
// Null when none is within reach.
const WorldCity* nearestCity(std::span<const WorldCity> cities, QPointF point, QSizeF mapSize);

// Where a card of `cardSize` stands beside the city at `cityPoint`: to the
// right of it unless that would run past the right edge, vertically centred
// on it but kept 4 px inside the top and bottom edges.
QPointF cardPosition(QSizeF cardSize, QPointF cityPoint, QSizeF mapSize);

// City id to clock number (from 1). A city shown by several clocks carries
// the lowest number, the one the card names.
QHash<QString, int> clockMarks(const AppModel& model);

// The card's motion: its opacity and its position, each eased out over a
// duration of its own, on whatever millisecond clock the caller reads.
// Between runs it holds still and costs nothing.
class CardMotion {
public:
    // A hover onto a city, and the delayed hide.
    static constexpr int kHoverMs = 120;
    static constexpr int kHideMs = 150;

    // Ease-out: the curve through (0, 0), (0.58, 1) to (1, 1), taking the
    // share of time gone (0 ... 1) to the share of the way gone.
    static double easeOut(double t);

    double opacity() const { return opacity_; }
    QPointF position() const { return position_; }
    // Where the position is heading (where it stands when nothing moves).
    QPointF target() const { return slide_.on ? slideTo_ : position_; }
    bool moving() const { return fade_.on || slide_.on; }

    // From where each value stands now; 0 ms sets it at once.
    void fade(double to, int durationMs, qint64 nowMs);
    void slide(QPointF to, int durationMs, qint64 nowMs);
    // A new end for a running slide, same timing; else the card stands there.
    void retarget(QPointF to);
    // Brings both values to `nowMs`; false once nothing moves any more.
    bool advance(qint64 nowMs);

private:
    struct Run {
        double from = 0;
        double to = 0;
        qint64 startMs = 0;
        int durationMs = 0;
        bool on = false;
        // Eased share of the way at `nowMs`; ends the run at 1.
        double step(qint64 nowMs);
    };
    Run fade_;
    Run slide_;
    QPointF slideFrom_;
    QPointF slideTo_;
    double opacity_ = 1;
    QPointF position_;
};

// The map's pointer state. The hide runs on a one-shot timer made through
// `schedule`; instead of cancelling it, every newer event bumps `missToken`,
// so a hide that fires late finds its token outdated and does nothing.
class MapHoverState {
public:
    using Schedule = std::function<void(int msecs, std::function<void()> job)>;
    static constexpr int kHideDelayMs = 350;

    explicit MapHoverState(Schedule schedule);

    const WorldCity* hovered() const { return hovered_; }
    const WorldCity* pinned() const { return pinned_; }
    bool cardHovered() const { return cardHovered_; }
    int missToken() const { return missToken_; }
    // The city the card shows: the pinned one, else the hovered one.
    const WorldCity* shown() const { return pinned_ ? pinned_ : hovered_; }

    // The pointer moved inside the map; `nearest` is the city within reach.
    void pointerMoved(const WorldCity* nearest);
    void pointerLeft();
    // A click: on a city pins it, elsewhere unpins.
    void tapped(const WorldCity* nearest);
    void cardHoverChanged(bool inside);
    void close();

    // Runs after every change of `hovered` or `pinned`.
    std::function<void()> onChange;
    // What made the last change: the card eases in and between cities after
    // a hover, eases out after the delayed hide, and a click or the close
    // button change it at once.
    enum class Motion { none, hover, hide };
    Motion lastMotion() const { return lastMotion_; }

private:
    void scheduleHide();
    void set(const WorldCity* hovered, const WorldCity* pinned, Motion motion);

    Schedule schedule_;
    const WorldCity* hovered_ = nullptr;
    const WorldCity* pinned_ = nullptr;
    bool cardHovered_ = false;
    int missToken_ = 0;
    Motion lastMotion_ = Motion::none;
};

}  // namespace corvane
