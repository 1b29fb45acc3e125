#include "shell/components/FocusRing.h"

#include <QAbstractButton>
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
        if (ring_ && ring_->control() != now) ring_->hide();
        ring_ = nullptr;
        if (!now || !wantsRing(now)) return;
        FocusRing* ring = now->findChild<FocusRing*>(QString(), Qt::FindDirectChildrenOnly);
        if (!ring) ring = new FocusRing(now);
        ring->setGeometry(now->rect());
        ring->raise();
        ring->show();
        ring->update();
        ring_ = ring;
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
        if (ring_ && ring_->window() == window) {
            ring_->hide();
            ring_ = nullptr;
        }
        return false;
    }

private:
    static bool wantsRing(const QWidget* w) {
        const QWidget* window = w->window();
        // Qt's dialogs keep their own look; rings belong to our themed views.
        if (!window->testAttribute(Qt::WA_KeyboardFocusChange) || qobject_cast<const QDialog*>(window)) return false;
        return ThemeProvider::of(w) != nullptr;
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

FocusRing::FocusRing(QWidget* control) : QWidget(control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    control->installEventFilter(this);
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return false;
}

FocusOutline FocusRing::outlineOf(const QWidget* control) {
    if (const auto* shaped = dynamic_cast<const FocusShaped*>(control)) return shaped->focusOutline();
    const QRectF all(control->rect());
    if (const auto* box = qobject_cast<const QCheckBox*>(control)) {
        // Around the label, where the style puts its own focus frame, not
        // the empty width after it.
        QStyleOptionButton opt;
        opt.initFrom(box);
        opt.text = box->text();
        const QRect label = box->style()->subElementRect(QStyle::SE_CheckBoxFocusRect, &opt, box);
        return {QRectF(label).adjusted(-3, -2, 3, 2).intersected(all), 4};
    }
    return {all, 4};
}

void FocusRing::paint(QPainter& p, const ThemeColors& theme, const FocusOutline& o) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    const auto draw = [&](double inset, const QColor& color, double width) {
        const QRectF r = o.rect.adjusted(inset, inset, -inset, -inset);
        p.setPen(QPen(color, width));
        if (o.round) p.drawEllipse(r);
        else p.drawRoundedRect(r, std::max(0.0, o.radius - inset), std::max(0.0, o.radius - inset));
    };
    draw(kEdge / 2, theme.accent.toQColor(), kEdge);
    draw(kEdge + kGlow / 2, theme.accent.toQColor(kGlowOpacity), kGlow);
    draw(kEdge + kGlow + kLine / 2, theme.accentForeground.toQColor(0.7), kLine);
    p.restore();
}

void FocusRing::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paint(p, themeOf(this), outlineOf(parentWidget()));
}

}  // namespace corvane
