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

void MapHoverState::set(const WorldCity* hovered, const WorldCity* pinned) {
    if (hovered == hovered_ && pinned == pinned_) return;
    hovered_ = hovered;
    pinned_ = pinned;
    if (onChange) onChange();
}

void MapHoverState::pointerMoved(const WorldCity* nearest) {
    if (!nearest) {
        pointerLeft();
        return;
    }
    ++missToken_;
    set(nearest, pinned_);
}

void MapHoverState::pointerLeft() {
    if (!cardHovered_) scheduleHide();
}

void MapHoverState::tapped(const WorldCity* nearest) {
    if (nearest) set(nearest, nearest);
    else set(hovered_, nullptr);
}

void MapHoverState::cardHoverChanged(bool inside) {
    cardHovered_ = inside;
    if (!inside && !pinned_) scheduleHide();
}

void MapHoverState::close() { set(nullptr, nullptr); }

void MapHoverState::scheduleHide() {
    const int token = ++missToken_;
    schedule_(kHideDelayMs, [this, token] {
        if (missToken_ == token && !cardHovered_ && !pinned_) set(nullptr, nullptr);
    });
}

}  // namespace corvane
