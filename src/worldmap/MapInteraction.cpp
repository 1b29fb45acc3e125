#include "worldmap/MapInteraction.h"

#include <algorithm>
#include <cmath>

#include "appmodel/AppModel.h"
#include "worldmap/MapLayers.h"

namespace corvane {

const WorldCity* nearestCity(std::span<const WorldCity> cities, QPointF point, QSizeF mapSize) {
    double reach = std::max(mapSize.width() / 110.0, 8.0);
    const WorldCity* best = nullptr;
    for (const WorldCity& city : cities) {
        const QPointF p = mapPoint(city.lon, city.lat, mapSize);
        const double d = std::hypot(p.x() - point.x(), p.y() - point.y());
        if (d <= reach) {
            best = &city;
            reach = d;
        }
    }
    return best;
}

QPointF cardPosition(QSizeF cardSize, QPointF cityPoint, QSizeF mapSize) {
    const double cw = cardSize.width();
    const double ch = cardSize.height();
    double x = cityPoint.x() + 14 + cw <= mapSize.width() ? cityPoint.x() + 14 : cityPoint.x() - 14 - cw;
    x = std::max(x, 4.0);
    double y = std::max(cityPoint.y() - ch / 2, 4.0);
    y = std::min(y, mapSize.height() - ch - 4);
    return {x, y};
}

QHash<QString, int> clockMarks(const AppModel& model) {
    QHash<QString, int> marks;
    const std::vector<ClockEntry>& clocks = model.settings().clocks;
    for (std::size_t i = 0; i < clocks.size(); ++i) {
        if (const WorldCity* city = model.cityForTimeZone(clocks[i])) {
            const QString id = city->id();
            if (!marks.contains(id)) marks.insert(id, int(i) + 1);
        }
    }
    return marks;
}

MapHoverState::MapHoverState(Schedule schedule) : schedule_(std::move(schedule)) {}

void MapHoverState::set(const WorldCity* hovered, const WorldCity* pinned, Motion motion) {
    if (hovered == hovered_ && pinned == pinned_) return;
    hovered_ = hovered;
    pinned_ = pinned;
    lastMotion_ = motion;
    if (onChange) onChange();
}

void MapHoverState::pointerMoved(const WorldCity* nearest) {
    if (!nearest) {
        pointerLeft();
        return;
    }
    ++missToken_;
    set(nearest, pinned_, Motion::hover);
}

void MapHoverState::pointerLeft() {
    if (!cardHovered_) scheduleHide();
}

void MapHoverState::tapped(const WorldCity* nearest) {
    if (nearest) set(nearest, nearest, Motion::none);
    else set(hovered_, nullptr, Motion::none);
}

void MapHoverState::cardHoverChanged(bool inside) {
    cardHovered_ = inside;
    if (!inside && !pinned_) scheduleHide();
}

void MapHoverState::close() { set(nullptr, nullptr, Motion::none); }

void MapHoverState::scheduleHide() {
    const int token = ++missToken_;
    schedule_(kHideDelayMs, [this, token] {
        if (missToken_ == token && !cardHovered_ && !pinned_) set(nullptr, nullptr, Motion::hide);
    });
}

// --- CardMotion -------------------------------------------------------------------

double CardMotion::easeOut(double t) {
    if (t <= 0) return 0;
    if (t >= 1) return 1;
    // A cubic Bezier from (0, 0) to (1, 1) with the control points (0, 0)
    // and (0.58, 1). Its x rises monotonically with the curve parameter u, so
    // u for x(u) = t is found by halving; y(u) is the eased share.
    auto bezier = [](double u, double c1, double c2) {
        const double v = 1 - u;
        return 3 * v * v * u * c1 + 3 * v * u * u * c2 + u * u * u;
    };
    double lo = 0, hi = 1;
    for (int i = 0; i < 30; ++i) {
        const double mid = (lo + hi) / 2;
        (bezier(mid, 0.0, 0.58) < t ? lo : hi) = mid;
    }
    return bezier((lo + hi) / 2, 0.0, 1.0);
}

double CardMotion::Run::step(qint64 nowMs) {
    const double t = durationMs > 0 ? double(nowMs - startMs) / durationMs : 1.0;
    if (t >= 1) {
        on = false;
        return 1;
    }
    return easeOut(t);
}

void CardMotion::fade(double to, int durationMs, qint64 nowMs) {
    if (durationMs <= 0 || to == opacity_) {
        opacity_ = to;
        fade_.on = false;
        return;
    }
    fade_ = Run{opacity_, to, nowMs, durationMs, true};
}

void CardMotion::slide(QPointF to, int durationMs, qint64 nowMs) {
    if (durationMs <= 0 || to == position_) {
        position_ = to;
        slide_.on = false;
        return;
    }
    slideFrom_ = position_;
    slideTo_ = to;
    slide_ = Run{0, 1, nowMs, durationMs, true};
}

void CardMotion::retarget(QPointF to) {
    if (slide_.on) slideTo_ = to;
    else position_ = to;
}

bool CardMotion::advance(qint64 nowMs) {
    if (fade_.on) {
        const double p = fade_.step(nowMs);
        opacity_ = fade_.from + (fade_.to - fade_.from) * p;
    }
    if (slide_.on) {
        const double p = slide_.step(nowMs);
        position_ = slideFrom_ + (slideTo_ - slideFrom_) * p;
    }
    return moving();
}

}  // namespace corvane
