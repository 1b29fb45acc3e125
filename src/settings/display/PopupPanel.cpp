#include "settings/display/PopupPanel.h"

#include <QKeyEvent>
#include <QLayout>
#include <QPainter>
#include <QScreen>

#include "settings/kit/WheelGuard.h"
#include "shell/components/OwnWindows.h"
#include "shell/components/Theme.h"

namespace corvane {

namespace {
constexpr int kGap = 4;  // between the anchor and the panel
}

PopupPanel::PopupPanel(QWidget* anchor) : QWidget(anchor, Qt::Popup | Qt::FramelessWindowHint), anchor_(anchor) {
    // Windows take the palette and font of their parent only when asked to;
    // the plain controls inside must look like the settings window.
    setAttribute(Qt::WA_WindowPropagation);
    // Like the settings window it opens from: a wheel turn that ends over a
    // control does not change it unless the user went to it.
    keepWheelForScrolling(this);
}

QPoint PopupPanel::placement(const QRect& anchor, const QSize& size, const QRect& screen, bool above) {
    int x = anchor.x() + (anchor.width() - size.width()) / 2;
    const int yBelow = anchor.bottom() + 1 + kGap;
    const int yAbove = anchor.top() - kGap - size.height();
    const bool fitsBelow = yBelow + size.height() <= screen.bottom() + 1;
    const bool fitsAbove = yAbove >= screen.top();
    int y = above ? (fitsAbove || !fitsBelow ? yAbove : yBelow) : (fitsBelow || !fitsAbove ? yBelow : yAbove);
    x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - size.width()));
    y = std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height()));
    return {x, y};
}

void PopupPanel::place() {
    const QRect anchor(anchor_->mapToGlobal(QPoint(0, 0)), anchor_->size());
    QScreen* screen = anchor_->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(anchor.topLeft(), size() * 4);
    const QPoint at = placement(anchor, size(), area, above_);
    above_ = at.y() + height() <= anchor.top();
    move(at);
}

void PopupPanel::openBelowAnchor() {
    if (windowType() != Qt::Popup) {
        // Closed while held: a pop-up again from here on.
        setAttribute(Qt::WA_ShowWithoutActivating, false);
        setKind(Qt::Popup);
    }
    adjustSize();
    above_ = false;
    place();
    show();
    raise();
    activateWindow();
}

void PopupPanel::followContentSize() {
    followsContent_ = true;
    // A window's layout otherwise only ever grows the window.
    if (layout()) layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void PopupPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (followsContent_ && isVisible() && !switching_) place();
}

void PopupPanel::setKind(Qt::WindowFlags kind) {
    const QPoint at = pos();
    const bool shown = isVisible();
    switching_ = true;
    setWindowFlags(kind | Qt::FramelessWindowHint);  // hides the window
    move(at);
    if (shown) show();
    switching_ = false;
}

void PopupPanel::hold() {
    if (isHeld() || !isVisible()) return;
    focusBeforeHold_ = focusWidget();
    // The dialog takes the keyboard; the panel only stays in sight.
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    setKind(Qt::Tool);
}

void PopupPanel::release() {
    if (!isHeld()) return;
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    setKind(Qt::Popup);
    raise();
    activateWindow();
    if (focusBeforeHold_) focusBeforeHold_->setFocus(Qt::PopupFocusReason);
}

void PopupPanel::paintEvent(QPaintEvent*) {
    const ThemeColors& theme = themeOf(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(theme.border.toQColor(), 1));
    p.setBrush(theme.surface.toQColor());
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void PopupPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!switching_) Q_EMIT opened();
}

void PopupPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (switching_) return;
    // A dialog it opened edits what the panel shows; it goes with it.
    closeOwnWindows(this);
    Q_EMIT closed();
}

void PopupPanel::keyPressEvent(QKeyEvent* event) {
    // Held, the panel is no pop-up and Esc would go nowhere: it is meant for
    // the dialog in front (the panel may have had the focus last).
    if (event->key() == Qt::Key_Escape && passKeyToOwnWindow(this, event)) return;
    QWidget::keyPressEvent(event);
}

bool PopupPanel::event(QEvent* event) {
    if (event->type() == ThemeChangeEvent::eventType()) update();
    return QWidget::event(event);
}

}  // namespace corvane
