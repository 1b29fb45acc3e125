#include "shell/grid/ClockGrid.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <cmath>
#include <limits>
#include <QPainter>
#include <QPropertyAnimation>

#include "dial/AnalogClock.h"
#include "shell/components/ScaleDownToFit.h"
#include "shell/components/Theme.h"
#include "shell/digital/ClockCaption.h"
#include "shell/digital/DigitalFace.h"
#include "shell/digital/DigitalTime.h"
#include "shell/digital/EditHighlight.h"
#include "shell/grid/HandRegion.h"

namespace corvane {

namespace {
constexpr double kAnalogGap = 4.0;
constexpr double kDigitalGap = 2.0;
constexpr double kDigitalPadding = 10.0;
constexpr double kDigitalTitleSize = 30.0;
constexpr double kDigitalZoneSize = 22.0;
}  // namespace

GridClock GridClock::from(const ClockEntry& entry, const QString& title, const QString& subtitle,
                          const QImage& image) {
    GridClock c;
    c.id = entry.id;
    c.title = title;
    c.subtitle = subtitle;
    c.zone = entry.timeZone();
    c.dialStyle = entry.dialStyle;
    c.image = image;
    if (entry.faceColor) c.face = RGB::fromHex(*entry.faceColor);
    return c;
}

// ---- ClockCell ----------------------------------------------------------

struct ClockCell::Digital {
    DigitalTimeText time;
    QFont titleFont = uiFont(kDigitalTitleSize, QFont::DemiBold);
    QFont zoneFont = uiFont(kDigitalZoneSize);
    QSizeF block;  // natural size of title, time and zone line
    void measure(const GridClock& c) {
        const QFontMetricsF t(titleFont), z(zoneFont);
        const double w = std::max({t.horizontalAdvance(c.title), time.size().width(),
                                   z.horizontalAdvance(c.subtitle)});
        block = QSizeF(w, t.height() + kDigitalGap + time.size().height() + kDigitalGap + z.height());
    }
};

ClockCell::ClockCell(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

ClockCell::~ClockCell() = default;

void ClockCell::setClock(const GridClock& clock) {
    if (clock == clock_) return;
    clock_ = clock;
    if (zoneClock_.zone() != clock_.zone) zoneClock_.setZone(clock_.zone);
    shownSecond_ = -1;
    shownFrame_ = std::numeric_limits<qint64>::min();
    setAccessibleName(clock.title);
    setAccessibleDescription(clock.subtitle);
    setNow(now_);
    if (digital_) digital_->measure(clock_);
    // The grid fits the new texts with all the others next.
    gridCaptionWidth_ = -1;
    captionWidth_ = -1;
    update();
}

void ClockCell::setOptions(const GridOptions& options) {
    if (options == options_ && (digital_ != nullptr) == (options.mode != ClockDisplayMode::analog))
        return;
    options_ = options;
    shownFrame_ = std::numeric_limits<qint64>::min();
    if (options_.mode == ClockDisplayMode::analog) {
        digital_.reset();
        captionWidth_ = -1;
    } else {
        if (!digital_) digital_ = std::make_unique<Digital>();
        digital_->time.setFont(options_.fontFamily, options_.fontSize);
        shownSecond_ = -1;
        setNow(now_);
        digital_->measure(clock_);
    }
    update();
}

const QString& ClockCell::timeText() const {
    static const QString none;
    return digital_ ? digital_->time.text() : none;
}

void ClockCell::setNow(qint64 msecs) {
    now_ = msecs;
    if (!digital_) {
        // Only the hands move: the face and the caption stay as painted, and
        // a frame repaints where the hands were and where they are now.
        // The colours play no part in where the hands lie.
        const AnalogClock clock = analogClock(ThemeColors::defaultPalette());
        const QRectF dial = dialRect();
        const qint64 frame = handregion::frameKey(clock, dial, dpr_, msecs);
        if (frame == shownFrame_) return;
        shownFrame_ = frame;
        for (const QRect& r : handregion::dirtyRects(paintedHands_, clock, dial, msecs)) update(r);
        return;
    }
    const DialTime t = zoneClock_.at(msecs);
    const int second = t.hour * 3600 + t.minute * 60 + t.second;
    if (second == shownSecond_) return;
    shownSecond_ = second;
    const QString text = QString::asprintf("%02d:%02d:%02d", t.hour, t.minute, t.second);
    const QSizeF before = digital_->time.size();
    const QString shown = digital_->time.text();
    digital_->time.setText(text);
    if (digital_->time.size() != before) {
        digital_->measure(clock_);
        update();
        return;
    }
    // Same size: only the changed digits are new (most seconds just the
    // last one); plate, title, zone line and the other digits stay.
    update(digitalTimeBand(digital_->time.changedSpan(shown)));
}

QRect ClockCell::digitalTimeBand(std::pair<double, double> span) const {
    const QRect band = digitalTimeBand();
    if (span.second <= span.first) return band;
    const QRectF time = digitalTimeRect();
    const double s = contentScale();
    const double textLeft = time.center().x() - digital_->time.textWidth() * s / 2;
    const int left = int(std::floor(textLeft + span.first * s)) - 2;
    const int right = int(std::ceil(textLeft + span.second * s)) + 2;
    return QRect(QPoint(left, band.top()), QPoint(right, band.bottom())).intersected(band);
}

QRect ClockCell::digitalTimeBand() const {
    const QRectF time = digitalTimeRect();
    const double gap = kDigitalGap * contentScale();
    // From the title's last row to the row over the zone line: the digits lie
    // inside, and neither text is touched, so neither is drawn again.
    const int top = int(std::ceil(time.top() - gap));
    const int bottom = int(std::floor(time.bottom() + gap)) - 1;
    return QRect(QPoint(int(std::floor(time.left())) - 2, top), QPoint(int(std::ceil(time.right())) + 2, bottom))
        .intersected(rect());
}

QRectF ClockCell::digitalTimeRect() const {
    if (!digital_) return {};
    const double s = contentScale();
    const QSizeF block = digital_->block;
    const double titleH = QFontMetricsF(digital_->titleFont).height();
    const QPointF origin = digitalBlockOrigin();
    return QRectF(origin + QPointF(0, (titleH + kDigitalGap) * s),
                  QSizeF(block.width(), digital_->time.size().height()) * s);
}

QPointF ClockCell::digitalBlockOrigin() const {
    // The title, time and zone block, scaled and centred in the cell.
    const double s = contentScale();
    const QSizeF block = digital_->block;
    return {width() / 2.0 - block.width() * s / 2, height() / 2.0 - block.height() * s / 2};
}

AnalogClock ClockCell::analogClock(const ThemeColors& theme) const {
    AnalogClock clock;
    clock.time = zoneClock_.at(now_);
    clock.smoothSeconds = options_.smoothSeconds;
    clock.style = clock_.dialStyle.value_or(options_.dialStyle);
    clock.image = clock_.image;
    clock.theme = theme;
    clock.faceRGB = clock_.face;
    clock.showSeconds = true;
    return clock;
}

void ClockCell::setCaption(double scale, const CaptionScales& limits, const CaptionLayout& fitted, int width) {
    if (scale != captionScale_) {
        captionScale_ = scale;
        captionTitle_ = uiFont(ClockCaption::titleSize(scale), QFont::DemiBold);
        captionSubtitle_ = uiFont(ClockCaption::subtitleSize(scale));
        captionHeight_ = ClockCaption::height(captionTitle_, captionSubtitle_);
        // The dial makes room for the caption's new height.
        shownFrame_ = std::numeric_limits<qint64>::min();
    }
    captionLimits_ = limits;
    gridCaption_ = fitted;
    gridCaptionWidth_ = width;
    // Taken up when next drawn or asked for: the grid places the cell next,
    // and fitting at the width it has now would be undone by that resize.
    captionWidth_ = -1;
    update();
}

const CaptionLayout& ClockCell::caption() const {
    // Fitted again only after a text, the fonts or the width changed, so
    // that painting (also a tick's hands over the caption) only draws.
    if (digital_ || captionScale_ <= 0 || width() == captionWidth_) return caption_;
    captionWidth_ = width();
    // What fits the narrowest cell fits this one; only a cell narrower than
    // that (while it moves to a new layout) fits its caption itself.
    if (gridCaptionWidth_ >= 0 && captionWidth_ >= gridCaptionWidth_)
        caption_ = gridCaption_;
    else
        caption_ = captionfit::fit(clock_.title, clock_.subtitle, captionTitle_, captionSubtitle_, captionWidth_,
                                   captionLimits_);
    return caption_;
}

QRectF ClockCell::dialRect() const {
    // Asked on every tick: the caption's height is kept, never measured here.
    const QRectF area(0, 0, width(), std::max(0.0, height() - captionHeight_ - kAnalogGap));
    return AnalogClock::dialRect(area);
}

QRectF ClockCell::markFrame() const {
    if (digital_) return QRectF(rect());
    return dialRect();
}

double ClockCell::contentScale() const {
    if (!digital_) return 1.0;
    const QSizeF avail(width() - 2 * kDigitalPadding, height() - 2 * kDigitalPadding);
    return ScaleDownToFit::scaleFor(avail, digital_->block);
}

void ClockCell::resizeEvent(QResizeEvent*) {
    if (onGeometryChanged) onGeometryChanged();
}

void ClockCell::moveEvent(QMoveEvent*) {
    if (onGeometryChanged) onGeometryChanged();
}

void ClockCell::paintEvent(QPaintEvent* event) {
    const ThemeColors& theme = themeOf(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Kept for the ticks, which would otherwise ask the screen each time.
    dpr_ = devicePixelRatioF();
    if (!digital_) {
        const AnalogClock clock = analogClock(theme);
        const QRectF dial = dialRect();
        if (clock.smoothSeconds)
            sweep_.paint(p, clock, dial);
        else
            clock.paint(p, dial);
        paintedHands_.record(clock, dial, now_);
        const double captionH = captionHeight_;
        const double blockTop = (height() - (dial.height() + kAnalogGap + captionH)) / 2;
        const QRectF captionRect(0, std::max(dial.bottom() + kAnalogGap, blockTop + dial.height() + kAnalogGap),
                                 width(), captionH);
        if (!event->rect().intersects(captionRect.toAlignedRect())) return;
        ClockCaption::paint(p, captionRect, caption(), theme);
        return;
    }

    const QRect dirty = event->rect();
    // Between the rounded corners the plate over the flat background is one
    // opaque colour: a band of digits fills it without filling the whole
    // rounded shape again, and without blending.
    if (dirty.top() >= DigitalFace::kCornerRadius && dirty.bottom() < height() - DigitalFace::kCornerRadius)
        p.fillRect(dirty, DigitalFace::plateOnBackground(clock_.face, theme));
    else
        DigitalFace::paintPlate(p, QRectF(rect()), clock_.face, theme);
    const double s = contentScale();
    const QSizeF block = digital_->block;
    const QFontMetricsF t(digital_->titleFont), z(digital_->zoneFont);
    // A new second repaints only the digits' band: the texts around them are
    // laid out and drawn only when their part of the cell is dirty.
    const QPointF origin = digitalBlockOrigin();
    const QRect titleInCell = QRectF(origin, QSizeF(block.width(), t.height()) * s).toAlignedRect();
    const QRect zoneInCell =
        QRectF(origin + QPointF(0, (t.height() + kDigitalGap + digital_->time.size().height() + kDigitalGap) * s),
               QSizeF(block.width(), z.height()) * s)
            .toAlignedRect();
    p.translate(width() / 2.0, height() / 2.0);
    p.scale(s, s);
    p.translate(-block.width() / 2, -block.height() / 2);
    const QColor secondary = DigitalFace::secondaryTextColor(clock_.face, theme);
    double y = 0;
    const QRectF titleRect(0, y, block.width(), t.height());
    if (dirty.intersects(titleInCell)) {
        p.setFont(digital_->titleFont);
        p.setPen(secondary);
        p.drawText(titleRect, Qt::AlignCenter, clock_.title);
    }
    y += t.height() + kDigitalGap;
    const QSizeF timeSize = digital_->time.size();
    digital_->time.paint(p, QRectF(0, y, block.width(), timeSize.height()),
                         DigitalFace::textColor(clock_.face, theme));
    y += timeSize.height() + kDigitalGap;
    const QRectF zoneRect(0, y, block.width(), z.height());
    if (dirty.intersects(zoneInCell)) {
        p.setFont(digital_->zoneFont);
        p.setPen(secondary);
        p.drawText(zoneRect, Qt::AlignCenter, clock_.subtitle);
    }
}

// ---- ClockGrid ----------------------------------------------------------

void ClockGrid::shareCaptions(const QSizeF& cellSize) {
    // Every caption gets the cells' caption size; a line that needs to
    // shrink shrinks all lines of its kind alike, measured in the narrowest
    // cell (edges are rounded, so cells differ by a pixel).
    const double scale = gridCaptionScale(cellSize);
    const QFont title = uiFont(ClockCaption::titleSize(scale), QFont::DemiBold);
    const QFont subtitle = uiFont(ClockCaption::subtitleSize(scale));
    int width = std::numeric_limits<int>::max();
    for (const QRect& r : targets_) width = std::min(width, r.width());
    captionfit::SharedScales shared(title, subtitle, width);
    for (const GridClock& c : clocks_) shared.add(c.title, c.subtitle);
    for (std::size_t i = 0; i < clocks_.size(); ++i)
        if (ClockCell* c = cells_.value(clocks_[i].id))
            if (c->clock() == clocks_[i]) c->setCaption(scale, shared.scales(), shared.layout(i), width);
}

ClockGrid::ClockGrid(double spacing, QWidget* parent, QWidget* markHost)
    : QWidget(parent), spacing_(spacing) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    markHost_ = markHost ? markHost : (parent ? parent : this);
    highlight_ = new EditHighlight(markHost_);
    highlight_->hide();
}

ClockGrid::~ClockGrid() {
    for (auto& a : animations_)
        if (a) a->stop();
    if (markHost_ != this) delete highlight_.data();
}

ClockCell* ClockGrid::cell(const QString& id) const { return cells_.value(id, nullptr); }

QRect ClockGrid::targetRect(int index) const {
    return index >= 0 && index < int(targets_.size()) ? targets_[std::size_t(index)] : QRect();
}

bool ClockGrid::isAnimating() const {
    for (const auto& a : animations_)
        if (a && a->state() == QAbstractAnimation::Running) return true;
    return false;
}

void ClockGrid::setClocks(const std::vector<GridClock>& clocks) {
    if (clocks == clocks_) return;
    clocks_ = clocks;
    QHash<QString, ClockCell*> kept;
    for (const GridClock& c : clocks_) {
        if (kept.contains(c.id)) continue;  // a duplicate identifier shares the first cell
        ClockCell* cell = cells_.take(c.id);
        if (!cell) {
            cell = new ClockCell(this);
            cell->setOptions(options_);
            cell->setNow(now_);
            cell->onGeometryChanged = [this] { placeHighlight(); };
            cell->show();
        }
        cell->setClock(c);
        kept.insert(c.id, cell);
    }
    for (ClockCell* gone : std::as_const(cells_)) delete gone;
    cells_ = kept;
    relayout(true);
}

void ClockGrid::setOptions(const GridOptions& options) {
    if (options == options_) return;
    options_ = options;
    for (ClockCell* c : std::as_const(cells_)) c->setOptions(options_);
    relayout(true);
}

void ClockGrid::setNow(qint64 msecs) {
    now_ = msecs;
    for (ClockCell* c : std::as_const(cells_)) c->setNow(msecs);
}

void ClockGrid::setHighlightedClock(const std::optional<QString>& id) {
    if (id == highlighted_) return;
    highlighted_ = id;
    // A new highlight starts a new pulse.
    if (highlight_) highlight_->hide();
    placeHighlight();
}

void ClockGrid::placeHighlight() {
    if (!highlight_ || !markHost_) return;
    ClockCell* target = highlighted_ ? cell(*highlighted_) : nullptr;
    if (!target) {
        highlight_->hide();
        return;
    }
    const QRectF frame = target->markFrame().translated(QPointF(target->mapTo(markHost_, QPoint(0, 0))));
    highlight_->setTarget(frame, options_.mode == ClockDisplayMode::analog);
    highlight_->raise();
    highlight_->show();
}

void ClockGrid::resizeEvent(QResizeEvent*) { relayout(true); }

// The mark lies on the host: when the grid moves there, so does the mark.
void ClockGrid::moveEvent(QMoveEvent*) { placeHighlight(); }

void ClockGrid::showEvent(QShowEvent*) { relayout(false); }

void ClockGrid::relayout(bool allowAnimation) {
    const QSizeF area(size());
    const int n = int(clocks_.size());
    const GridLayout next = chooseGridLayout(area, spacing_, n, options_.mode);
    const QSizeF cellSize = gridCellSize(area, spacing_, next);
    const bool changed = !(next == layout_);
    const bool animate = allowAnimation && changed && laidOut_ && isVisible();
    layout_ = next;
    laidOut_ = laidOut_ || (isVisible() && n > 0);

    for (auto& a : animations_)
        if (a) a->stop();
    animations_.clear();

    targets_.clear();
    targets_.reserve(std::size_t(n));
    // Each row, the last one too, is centred; so is the whole block.
    const double blockH = next.rows * cellSize.height() + spacing_ * (next.rows - 1);
    const double top = (area.height() - blockH) / 2;
    for (int i = 0; i < n; ++i) {
        const int row = i / next.cols;
        const int col = i % next.cols;
        const int inRow = std::min(next.cols, n - row * next.cols);
        const double rowW = inRow * cellSize.width() + spacing_ * (inRow - 1);
        const double left = (area.width() - rowW) / 2;
        const QRectF r(left + col * (cellSize.width() + spacing_), top + row * (cellSize.height() + spacing_),
                       cellSize.width(), cellSize.height());
        // Rounded edges, not rounded origin and size, so neighbours keep their gap.
        targets_.push_back(QRect(QPoint(int(std::lround(r.left())), int(std::lround(r.top()))),
                                 QPoint(int(std::lround(r.right())) - 1, int(std::lround(r.bottom())) - 1)));
    }

    if (options_.mode == ClockDisplayMode::analog) shareCaptions(cellSize);

    QHash<QString, bool> placed;
    for (int i = 0; i < n; ++i) {
        const QString& id = clocks_[std::size_t(i)].id;
        if (placed.contains(id)) continue;
        placed.insert(id, true);
        ClockCell* c = cells_.value(id);
        if (!c) continue;
        const QRect to = targets_[std::size_t(i)];
        if (animate && c->geometry().isValid() && !c->geometry().isEmpty()) {
            auto* a = new QPropertyAnimation(c, "geometry", this);
            a->setDuration(kAnimationMs);
            a->setEasingCurve(QEasingCurve::InOutQuad);
            a->setStartValue(c->geometry());
            a->setEndValue(to);
            a->start(QAbstractAnimation::DeleteWhenStopped);
            animations_.emplace_back(a);
        } else {
            c->setGeometry(to);
        }
    }
    placeHighlight();
}

}  // namespace corvane
