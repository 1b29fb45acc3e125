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

QSize WorldMapView::sizeHint() const { return {720, int(std::lround(720 / kAspect))}; }

int WorldMapView::heightForWidth(int width) const { return int(std::lround(width / kAspect)); }

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
    QSizeF size = w / h > kAspect ? QSizeF(h * kAspect, h) : QSizeF(w, w / kAspect);
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
    if (shown != cardCity_) updateMap();
    if (shown == cardCity_ && pinned == cardPinned_) return;
    cardCity_ = shown;
    cardPinned_ = pinned;
    if (card_) {
        // Deleted later: the card may be inside its own button's click.
        card_->hide();
        card_->deleteLater();
        card_ = nullptr;
    }
    if (!shown) return;
    card_ = new CityCard(model_, *shown, pinned, [this] { state_.close(); }, this);
    connect(card_, &CityCard::hoverChanged, this, [this](bool inside) { state_.cardHoverChanged(inside); });
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

SkyLayer WorldMapView::skyLayer() const {
    SkyLayer sky{key_, mapRect_.size(), std::nullopt, marks_};
    if (const WorldCity* shown = state_.shown()) sky.hoveredID = shown->id();
    return sky;
}

void WorldMapView::paintEvent(QPaintEvent* event) {
    if (mapRect_.isEmpty()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRegion(event->region());
    QPainterPath frame;
    frame.addRoundedRect(mapRect_, kCorner, kCorner);
    p.setClipPath(frame, Qt::IntersectClip);
    p.translate(mapRect_.topLeft());
    const qreal ratio = devicePixelRatioF();
    base_.paint(p, BaseMapLayer{mapRect_.size()}, ratio);
    night_.paint(p, NightLayer{key_, mapRect_.size()}, ratio);
    sky_.paint(p, skyLayer(), ratio);
    p.resetTransform();
    p.setClipping(false);
    p.setPen(QPen(themeOf(this).border.toQColor(), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(mapRect_.adjusted(0.5, 0.5, -0.5, -0.5), kCorner, kCorner);
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
