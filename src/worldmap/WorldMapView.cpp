#include "worldmap/WorldMapView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QWindow>
#include <cmath>
#include <cstdio>

#include "appmodel/AppModel.h"
#include "shell/components/Theme.h"
#include "worldmap/CityCard.h"
#include "worldmap/MapDataHint.h"

namespace corvane {

namespace {
constexpr double kCorner = 12;

// CORVANE_TRACE_MAP=1 writes where the map and its card stand on the screen
// to stderr, so a script driving the real program can point at a city.
bool traceGeometry() {
    static const bool on = !qEnvironmentVariableIsEmpty("CORVANE_TRACE_MAP");
    return on;
}

qint64 redrawKey(const QDateTime& now) { return mapRedrawKey(now.toMSecsSinceEpoch()); }
}  // namespace

WorldMapView::WorldMapView(AppModel& model, QWidget* parent)
    : WorldMapView(model, {}, parent) {}

WorldMapView::WorldMapView(AppModel& model, MapHoverState::Schedule schedule, QWidget* parent)
    : QWidget(parent),
      model_(model),
      state_(schedule ? std::move(schedule) : MapHoverState::Schedule([this](int msecs, std::function<void()> job) {
          // The view as context: a hide still pending when the map goes away
          // is dropped with it.
          QTimer::singleShot(msecs, this, std::move(job));
      })) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAccessibleName(tr("Weltkarte mit Tag- und Nachtzonen"));
    setAccessibleDescription(mapDataHint());
    state_.onChange = [this] { stateChanged(); };
    key_ = redrawKey(model_.now());
    marks_ = corvane::clockMarks(model_);
    connect(&model_, &AppModel::nowChanged, this, &WorldMapView::followTime);
    connect(&model_, &AppModel::settingsChanged, this, &WorldMapView::followClocks);
}

WorldMapView::~WorldMapView() {
    // The hide jobs hold the state; none may run on a half-destroyed view.
    state_.onChange = nullptr;
}

QSize WorldMapView::sizeHint() const { return {720, int(std::lround(720 / kWidthPerHeight))}; }

int WorldMapView::heightForWidth(int width) const { return int(std::lround(width / kWidthPerHeight)); }

QPointF WorldMapView::cityPoint(const WorldCity& city) const {
    return mapRect_.topLeft() + mapPoint(city.lon, city.lat, mapRect_.size());
}

const WorldCity* WorldMapView::cityAt(QPointF widgetPoint) const {
    if (mapRect_.isEmpty() || !mapRect_.contains(widgetPoint)) return nullptr;
    return nearestCity(WorldCity::all(), widgetPoint - mapRect_.topLeft(), mapRect_.size());
}

void WorldMapView::resizeEvent(QResizeEvent*) {
    const double w = width();
    const double h = height();
    QSizeF size = w / h > kWidthPerHeight ? QSizeF(h * kWidthPerHeight, h) : QSizeF(w, w / kWidthPerHeight);
    // Whole pixels keep the layers' pictures unscaled.
    size = QSizeF(std::floor(size.width()), std::floor(size.height()));
    const QRectF next(QPointF(std::floor((w - size.width()) / 2), std::floor((h - size.height()) / 2)), size);
    if (next == mapRect_) return;
    mapRect_ = next;
    placeCard();
}

void WorldMapView::updateMap() { update(mapRect_.toAlignedRect()); }

void WorldMapView::followTime() {
    const qint64 key = redrawKey(model_.now());
    if (key == key_) return;
    key_ = key;
    updateMap();
}

void WorldMapView::followClocks() {
    QHash<QString, int> marks = corvane::clockMarks(model_);
    if (marks == marks_) return;
    marks_ = std::move(marks);
    updateMap();
}

void WorldMapView::stateChanged() {
    const WorldCity* shown = state_.shown();
    const bool pinned = state_.pinned() != nullptr;
    if (shown != cardCity_) {
        QRegion changed;
        if (cardCity_) changed += highlightRect(*cardCity_);
        if (shown) changed += highlightRect(*shown);
        update(changed);
    }
    if (shown == cardCity_ && pinned == cardPinned_) return;
    cardCity_ = shown;
    cardPinned_ = pinned;
    if (!shown) {
        if (card_) {
            // Deleted later: the card may be inside its own button's click.
            card_->hide();
            card_->deleteLater();
            card_ = nullptr;
        }
        return;
    }
    if (card_) {
        card_->setCity(*shown, pinned);
    } else {
        card_ = new CityCard(model_, *shown, pinned, [this] { state_.close(); }, this);
        connect(card_, &CityCard::hoverChanged, this, [this](bool inside) { state_.cardHoverChanged(inside); });
    }
    placeCard();
    card_->show();
    if (traceGeometry()) {
        const QWidget* button = card_->clockButton();
        const QPoint at = button->mapToGlobal(QPoint(12, button->height() / 2));
        std::fprintf(stderr, "corvane: card %s button %d %d\n", qPrintable(card_->city().name), at.x(), at.y());
    }
}

void WorldMapView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!traceGeometry()) return;
    const QPoint at = mapToGlobal(mapRect_.topLeft().toPoint());
    std::fprintf(stderr, "corvane: map %d %d %d %d\n", at.x(), at.y(), int(mapRect_.width()), int(mapRect_.height()));
}

void WorldMapView::placeCard() {
    if (!card_ || !cardCity_) return;
    card_->adjustSize();
    const QSizeF panel = card_->panelSize();
    const QPointF at = cardPosition(panel, cityPoint(*cardCity_) - mapRect_.topLeft(), mapRect_.size());
    const QPoint topLeft = (mapRect_.topLeft() + at).toPoint() - QPoint(CityCard::kShadowMargin, CityCard::kShadowMargin);
    card_->move(topLeft);
}

QRect WorldMapView::highlightRect(const WorldCity& city) const {
    const SkyScale scale = skyScale(mapRect_.width());
    const CityMarkStyle style = cityMarkStyle(city.population, true, scale.k);
    // The dot with its outline, a capital's ring, a night glow; badges are
    // drawn the same whether highlighted or not.
    const double reach = std::max(style.dotRadius + 2.2 * scale.k + 1, style.glowRadius) + 2;
    const QPointF at = cityPoint(city);
    return QRectF(at.x() - reach, at.y() - reach, 2 * reach, 2 * reach).toAlignedRect();
}

SkyLayer WorldMapView::skyLayer(const WorldCity* highlighted) const {
    SkyLayer sky{key_, mapRect_.size(), std::nullopt, marks_};
    if (highlighted) sky.hoveredID = highlighted->id();
    return sky;
}

void WorldMapView::paintHighlight(QPainter& p, const WorldCity& city) {
    const QRect rect = highlightRect(city);
    SkyLayer layer = skyLayer(&city);
    const qreal ratio = devicePixelRatioF();
    if (patch_.isNull() || rect != patchRect_ || !(layer == patchLayer_) || patch_.devicePixelRatio() != ratio) {
        QPixmap pixmap(rect.size() * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter q(&pixmap);
        q.setClipRect(QRect(QPoint(0, 0), rect.size()));
        q.translate(-(QPointF(rect.topLeft()) - mapRect_.topLeft()));
        // Only the cities whose marks can reach into the square, in catalogue
        // order: drawing all of them clipped would cost milliseconds.
        const SkyScale scale = skyScale(mapRect_.width());
        const double reach = std::max(8.0 * scale.k, 8.0 * scale.g) + 2;
        const QRectF near = QRectF(rect).translated(-mapRect_.topLeft()).adjusted(-reach, -reach, reach, reach);
        std::vector<WorldCity> nearby;
        for (const WorldCity& c : WorldCity::all())
            if (near.contains(mapPoint(c.lon, c.lat, mapRect_.size()))) nearby.push_back(c);
        layer.draw(q, nearby);
        q.end();
        patch_ = std::move(pixmap);
        patchLayer_ = std::move(layer);
        patchRect_ = rect;
    }
    p.drawPixmap(patchRect_.topLeft(), patch_);
}

void WorldMapView::paintEvent(QPaintEvent* event) {
    if (mapRect_.isEmpty()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.addRoundedRect(mapRect_, kCorner, kCorner);
    const QRegion region = event->region();
    const WorldCity* shown = state_.shown();
    const QRect highlight = shown ? highlightRect(*shown) : QRect();
    const qreal ratio = devicePixelRatioF();

    p.setClipRegion(region);
    p.setClipPath(frame, Qt::IntersectClip);
    p.translate(mapRect_.topLeft());
    base_.paint(p, BaseMapLayer{mapRect_.size()}, ratio);
    night_.paint(p, NightLayer{key_, mapRect_.size()}, ratio);
    p.resetTransform();
    // The plain sky everywhere but under the highlight.
    p.setClipRegion(highlight.isEmpty() ? region : region.subtracted(highlight));
    p.setClipPath(frame, Qt::IntersectClip);
    p.translate(mapRect_.topLeft());
    sky_.paint(p, skyLayer(nullptr), ratio);
    p.resetTransform();
    if (shown && region.intersects(highlight)) {
        p.setClipRegion(region.intersected(highlight));
        p.setClipPath(frame, Qt::IntersectClip);
        paintHighlight(p, *shown);
    }
    p.setClipping(false);
    paintDataHint(p);
    p.setPen(QPen(themeOf(this).border.toQColor(), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(mapRect_.adjusted(0.5, 0.5, -0.5, -0.5), kCorner, kCorner);
}

void WorldMapView::paintDataHint(QPainter& p) {
    const QString& hint = mapDataHint();
    if (hint.isEmpty()) return;
    // On the map's own fixed ocean, so the same light text in either theme.
    QFont font = p.font();
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(QColor::fromRgbF(1, 1, 1, 0.78f));
    const QRectF area = mapRect_.adjusted(16, 16, -16, -16);
    p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, hint);
}

void WorldMapView::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ && (event->buttons() & Qt::LeftButton)) {
        const QPoint moved = event->globalPosition().toPoint() - pressGlobal_;
        if (moved.manhattanLength() >= QApplication::startDragDistance()) {
            pressed_ = false;
            QWidget* top = window();
            if (dragMovesWindow_ && !top->isFullScreen() && top->windowHandle()) top->windowHandle()->startSystemMove();
        }
        return;
    }
    const QPointF at = event->position();
    if (mapRect_.contains(at)) state_.pointerMoved(cityAt(at));
    else state_.pointerLeft();
}

void WorldMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    pressed_ = true;
    pressGlobal_ = event->globalPosition().toPoint();
    event->accept();
}

void WorldMapView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    // Only a press that stayed put is a click; a drag has already let go.
    const bool click = pressed_;
    pressed_ = false;
    event->accept();
    if (click && mapRect_.contains(event->position())) state_.tapped(cityAt(event->position()));
}

void WorldMapView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    state_.pointerLeft();
}

bool WorldMapView::event(QEvent* event) {
    // The layers draw in fixed colours; only the frame follows the palette.
    if (event->type() == ThemeChangeEvent::eventType()) update();
    return QWidget::event(event);
}

}  // namespace corvane
