#include "worldmap/WorldMapView.h"

#include <QGraphicsOpacityEffect>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScopedValueRollback>
#include <QStringList>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <chrono>
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

// "corvane: marks 1 Berlin|Deutschland, 2 Kalkutta|Indien": the badges the map draws.
void traceMarks(const QHash<QString, int>& marks) {
    if (!traceGeometry()) return;
    QList<std::pair<int, QString>> sorted;
    for (auto it = marks.cbegin(); it != marks.cend(); ++it) sorted.append({it.value(), it.key()});
    std::sort(sorted.begin(), sorted.end());
    QStringList parts;
    for (const auto& [number, id] : sorted) parts << QString::number(number) + u' ' + id;
    std::fprintf(stderr, "corvane: marks %s\n", qPrintable(parts.join(QStringLiteral(", "))));
}
// The opacity effect draws the card from a picture of its own, which would
// pass over the card's mask: the mask clips that drawing too.
class MaskedOpacityEffect : public QGraphicsOpacityEffect {
public:
    using QGraphicsOpacityEffect::QGraphicsOpacityEffect;

protected:
    void draw(QPainter* painter) override {
        const auto* card = qobject_cast<const QWidget*>(parent());
        const QRegion mask = card ? card->mask() : QRegion();
        if (mask.isEmpty()) return QGraphicsOpacityEffect::draw(painter);
        painter->save();
        painter->setClipRegion(mask, Qt::IntersectClip);
        QGraphicsOpacityEffect::draw(painter);
        painter->restore();
    }
};
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
    animationClock_ = [] {
        return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count());
    };
    // About one frame of a 60 Hz screen; the timer runs only while the card moves.
    frames_.setInterval(16);
    frames_.setTimerType(Qt::PreciseTimer);
    connect(&frames_, &QTimer::timeout, this, &WorldMapView::advanceAnimation);
    key_ = redrawKey(model_.now());
    marks_ = corvane::clockMarks(model_);
    traceMarks(marks_);
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
    // Inside the frame's line, which stays visible beside the card.
    QPainterPath frame;
    frame.addRoundedRect(mapRect_.adjusted(1, 1, -1, -1), kCorner - 1, kCorner - 1);
    frameRegion_ = QRegion(frame.toFillPolygon().toPolygon());
    maskedBox_ = QRect();
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
    traceMarks(marks_);
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
    const MapHoverState::Motion how = state_.lastMotion();
    const qint64 now = animationClock_();
    if (!shown) {
        if (!card_) return;
        if (how != MapHoverState::Motion::hide || motion_.opacity() <= 0) {
            removeCard();
            return;
        }
        // The card keeps its last city while it fades; the pointer already
        // meets the map beneath it.
        cardLeaving_ = true;
        card_->setAttribute(Qt::WA_TransparentForMouseEvents, true);
        motion_.fade(0, CardMotion::kHideMs, now);
        startMotion();
        return;
    }
    const bool wasShowing = card_ && !cardLeaving_;
    // The new city resizes the card, which calls back into placeCard(); the
    // place is chosen below, once.
    choosingPlace_ = true;
    if (card_) {
        card_->setCity(*shown, pinned);
    } else {
        card_ = new CityCard(model_, *shown, pinned, [this] { state_.close(); }, this);
        connect(card_, &CityCard::hoverChanged, this, [this](bool inside) { state_.cardHoverChanged(inside); });
        // A card that grows (the already-a-clock line after "Hinzufügen")
        // must still fit the map.
        connect(card_, &CityCard::resized, this, &WorldMapView::placeCard);
        motion_.fade(0, 0, now);
    }
    cardLeaving_ = false;
    card_->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    const QPointF target = cardTarget();
    choosingPlace_ = false;
    if (how == MapHoverState::Motion::hover) {
        // From city to city the card slides; a new card (or one still fading
        // out) appears where it belongs.
        motion_.slide(target, wasShowing ? CardMotion::kHoverMs : 0, now);
        motion_.fade(1, CardMotion::kHoverMs, now);
    } else {
        motion_.slide(target, 0, now);
        motion_.fade(1, 0, now);
    }
    applyMotion();
    startMotion();
    card_->show();
    if (traceGeometry()) {
        const QWidget* button = card_->clockButton();
        const QPoint at = mapToGlobal(target.toPoint() + button->mapTo(card_, QPoint(12, button->height() / 2)));
        const std::optional<QString> already = card_->alreadyText();
        std::fprintf(stderr, "corvane: card %s (%s) button %d %d\n", qPrintable(card_->city().name),
                     qPrintable(already.value_or(QStringLiteral("keine Uhr"))), at.x(), at.y());
    }
}

void WorldMapView::removeCard() {
    if (card_) {
        // Deleted later: the card may be inside its own button's click.
        card_->hide();
        card_->deleteLater();
        card_ = nullptr;
    }
    maskedBox_ = QRect();
    cardLeaving_ = false;
    const qint64 now = animationClock_();
    motion_.fade(1, 0, now);
    motion_.slide(motion_.position(), 0, now);
    frames_.stop();
}

void WorldMapView::startMotion() {
    if (motion_.moving() && !frames_.isActive()) frames_.start();
}

void WorldMapView::advanceAnimation() {
    const bool moving = motion_.advance(animationClock_());
    applyMotion();
    if (moving) return;
    frames_.stop();
    if (cardLeaving_) removeCard();
}

void WorldMapView::applyMotion() {
    if (!card_) return;
    const QPoint at = motion_.position().toPoint();
    if (card_->pos() != at) card_->move(at);
    // The effect draws the card through an offscreen picture: only while it fades.
    const double opacity = motion_.opacity();
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(card_->graphicsEffect());
    if (opacity < 1) {
        if (!effect) {
            effect = new MaskedOpacityEffect(card_);
            card_->setGraphicsEffect(effect);
        }
        effect->setOpacity(opacity);
    } else if (effect) {
        card_->setGraphicsEffect(nullptr);
    }
    updateCardMask();
}

void WorldMapView::updateCardMask() {
    // A fade moves nothing: the mask changes only with the card's box or the frame.
    const QRect box(card_->pos(), card_->size());
    if (box == maskedBox_) return;
    maskedBox_ = box;
    const QRegion visible = frameRegion_.intersected(box);
    // An empty mask would mean no mask at all; a card wholly outside the
    // frame cannot happen, the placement keeps it inside.
    if (visible.isEmpty()) return;
    if (visible == QRegion(box)) {
        if (!card_->mask().isEmpty()) card_->clearMask();
        return;
    }
    const QRegion mask = visible.translated(-box.topLeft());
    if (card_->mask() != mask) card_->setMask(mask);
}

void WorldMapView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!traceGeometry()) return;
    const QPoint at = mapToGlobal(mapRect_.topLeft().toPoint());
    std::fprintf(stderr, "corvane: map %d %d %d %d\n", at.x(), at.y(), int(mapRect_.width()), int(mapRect_.height()));
}

QPointF WorldMapView::cardTarget() {
    {
        // The card's resize calls back into placeCard(); the caller places it.
        const QScopedValueRollback<bool> placing(choosingPlace_, true);
        card_->adjustSize();
    }
    const QSizeF panel = card_->panelSize();
    const QPointF at = cardPosition(panel, cityPoint(*cardCity_) - mapRect_.topLeft(), mapRect_.size());
    return (mapRect_.topLeft() + at).toPoint() - QPoint(CityCard::kShadowMargin, CityCard::kShadowMargin);
}

void WorldMapView::placeCard() {
    // A leaving card has no city any more and stays where it fades.
    if (!card_ || !cardCity_ || choosingPlace_) return;
    motion_.retarget(cardTarget());
    applyMotion();
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
    if (drag_.isPressed()) {
        QWidget* top = window();
        if (const auto at = drag_.follow(*event, dragMovesWindow_ ? top->windowHandle() : nullptr)) top->move(*at);
        // Still a click to be, or the window moving along with the pointer:
        // the pointer has come to no other place on the map.
        if (drag_.isPressed() && (dragMovesWindow_ || !drag_.isDragging())) return;
    }
    const QPointF at = event->position();
    if (mapRect_.contains(at)) state_.pointerMoved(cityAt(at));
    else state_.pointerLeft();
}

void WorldMapView::mousePressEvent(QMouseEvent* event) {
    if (!drag_.press(*event, window()->pos())) return QWidget::mousePressEvent(event);
    event->accept();
}

void WorldMapView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    // Only a press that stayed put is a click.
    const bool click = drag_.release(*event);
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
