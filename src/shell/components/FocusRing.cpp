#include "shell/components/FocusRing.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QEvent>
#include <QPainter>
#include <QStyleOptionButton>

#include "shell/components/Theme.h"

namespace corvane {

namespace {
// From the outline inwards: a crisp accent edge, a soft accent glow, and a
// thin line in the accent's text colour. The glow tells focus apart from the
// crisp accent stroke that marks a selected tile or swatch; the line shows
// on an accent-filled button.
constexpr double kEdge = 1.5;
constexpr double kGlow = 2.5;
constexpr double kGlowOpacity = 0.5;
constexpr double kLine = 1.0;
// Around an outside outline the glow fades outwards; a little narrower, so
// the ring stays clear of the neighbours of a text or a dial.
constexpr double kOutsideGlow = 1.0;

// The widget the ring of `control` lives in: the control itself when `area`
// (in its coordinates) lies inside it, else the nearest ancestor with room
// for it. The search ends at the window and at a scroll area's viewport,
// which clip whatever is inside them anyway.
QWidget* hostFor(QWidget* control, const QRectF& area) {
    QWidget* host = control;
    QRect need = area.toAlignedRect();
    for (;;) {
        if (host->rect().contains(need)) return host;
        QWidget* parent = host->parentWidget();
        if (host->isWindow() || !parent || qobject_cast<QAbstractScrollArea*>(parent)) return host;
        need.translate(host->pos());
        host = parent;
    }
}
}  // namespace

// Follows the application's focus: lays the ring over the control that took
// the focus by keyboard, and takes it away when the pointer is used.
class FocusRingTracker : public QObject {
public:
    FocusRingTracker() : QObject(qApp) {
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
        qApp->installEventFilter(this);
    }

    void follow(QWidget* now) {
        if (ring_ && ring_->control() != now) drop();
        if (!now || !wantsRing(now)) return;
        if (!ring_) ring_ = new FocusRing(now, hostFor(now, FocusRing::paintedArea(FocusRing::outlineOf(now))));
        ring_->place();
        ring_->show();
        ring_->update();
    }

    FocusRing* shown() const { return ring_ && ring_->isVisible() ? ring_.data() : nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Only pointer presses matter; everything else passes untouched.
        if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType()) return false;
        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (window->testAttribute(Qt::WA_KeyboardFocusChange)) {
            // Qt's own controls read the same flag, so they stop showing
            // focus at the same moment.
            window->setAttribute(Qt::WA_KeyboardFocusChange, false);
            if (QWidget* focus = window->focusWidget()) focus->update();
        }
        if (ring_ && ring_->window() == window) drop();
        return false;
    }

private:
    static bool wantsRing(const QWidget* w) {
        const QWidget* window = w->window();
        // Qt's dialogs keep their own look; rings belong to our themed views.
        if (!window->testAttribute(Qt::WA_KeyboardFocusChange) || qobject_cast<const QDialog*>(window)) return false;
        return ThemeProvider::of(w) != nullptr;
    }

    // A ring is made for one stay of the focus: it may live outside its
    // control, and a later ring may need another place.
    void drop() {
        ring_->hide();
        ring_->deleteLater();
        ring_ = nullptr;
    }

    QPointer<FocusRing> ring_;
};

namespace {
FocusRingTracker* tracker = nullptr;
}

void FocusRing::install() {
    if (tracker || !qApp) return;
    tracker = new FocusRingTracker;
    QObject::connect(tracker, &QObject::destroyed, [] { tracker = nullptr; });
}

FocusRing* FocusRing::shownOn(const QWidget* control) {
    FocusRing* ring = tracker ? tracker->shown() : nullptr;
    return ring && ring->control() == control ? ring : nullptr;
}

FocusRing::FocusRing(QWidget* control, QWidget* host) : QWidget(host), control_(control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    // Whatever moves the control within the ring's host moves the ring.
    control->installEventFilter(this);
    for (QWidget* w = control->parentWidget(); w && w != host; w = w->parentWidget()) w->installEventFilter(this);
    if (host != control) connect(control, &QObject::destroyed, this, &QObject::deleteLater);
}

bool FocusRing::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::ParentChange:
            place();
            break;
        default: break;
    }
    return false;
}

void FocusRing::place() {
    QWidget* host = parentWidget();
    if (!control_ || !host || (host != control_ && !host->isAncestorOf(control_))) {
        hide();
        return;
    }
    const QRect area = paintedArea(outlineOf(control_)).toAlignedRect();
    setGeometry(area.translated(control_->mapTo(host, QPoint())));
    raise();
}

FocusOutline FocusRing::outlineOf(const QWidget* control) {
    if (const auto* shaped = dynamic_cast<const FocusShaped*>(control)) return shaped->focusOutline();
    const QRectF all(control->rect());
    if (const auto* box = qobject_cast<const QCheckBox*>(control)) {
        // Around the box and its label, clear of the letters.
        QStyleOptionButton opt;
        opt.initFrom(box);
        opt.text = box->text();
        const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, box);
        if (box->text().isEmpty()) return {QRectF(indicator), 0, false, true};
        const QRect contents = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, box);
        const QRect label = box->fontMetrics().boundingRect(
            contents, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, box->text());
        return {QRectF(indicator.united(label)), 0, false, true};
    }
    return {all, 4};
}

QRectF FocusRing::paintedArea(const FocusOutline& o) {
    if (!o.outside) return o.rect;
    // One more for the antialiased edge.
    const double reach = kOutsideGap + kEdge + kOutsideGlow + 1;
    return o.rect.adjusted(-reach, -reach, reach, reach);
}

void FocusRing::paint(QPainter& p, const ThemeColors& theme, const FocusOutline& o) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    if (!o.clear.isEmpty()) {
        QPainterPath all;
        all.addRect(paintedArea(o).adjusted(-1, -1, 1, 1));
        p.setClipPath(all.subtracted(o.clear), Qt::IntersectClip);
    }
    // A negative inset draws outside the outline.
    const auto draw = [&](double inset, const QColor& color, double width) {
        const QRectF r = o.rect.adjusted(inset, inset, -inset, -inset);
        p.setPen(QPen(color, width));
        if (o.round) p.drawEllipse(r);
        else p.drawRoundedRect(r, std::max(0.0, o.radius - inset), std::max(0.0, o.radius - inset));
    };
    if (o.outside) {
        draw(-(kOutsideGap + kEdge / 2), theme.accent.toQColor(), kEdge);
        draw(-(kOutsideGap + kEdge + kOutsideGlow / 2), theme.accent.toQColor(kGlowOpacity), kOutsideGlow);
    } else {
        draw(kEdge / 2, theme.accent.toQColor(), kEdge);
        draw(kEdge + kGlow / 2, theme.accent.toQColor(kGlowOpacity), kGlow);
        draw(kEdge + kGlow + kLine / 2, theme.accentForeground.toQColor(0.7), kLine);
    }
    p.restore();
}

void FocusRing::paintEvent(QPaintEvent*) {
    QWidget* host = parentWidget();
    if (!control_ || (host != control_ && !host->isAncestorOf(control_))) return;
    QPainter p(this);
    // The outline is in the control's coordinates.
    p.translate(control_->mapTo(host, QPoint()) - pos());
    paint(p, themeOf(this), outlineOf(control_));
}

}  // namespace corvane
