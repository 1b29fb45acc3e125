#include "shell/components/IconButton.h"

#include <QEnterEvent>
#include <QPainter>

#include "shell/components/Icons.h"
#include "shell/components/Theme.h"

namespace corvane {

IconButton::IconButton(const QString& symbol, const QString& help, double size, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol), path_(&icons::path(symbol_)), size_(std::max(1.0, size)) {
    setHelp(help);
    const int side = int(std::lround(size_));
    setFixedSize(side, side);
    setFocusPolicy(Qt::TabFocus);
}

void IconButton::setSymbol(const QString& symbol) {
    if (symbol == symbol_) return;
    symbol_ = symbol;
    path_ = &icons::path(symbol_);
    update();
}

void IconButton::setHelp(const QString& help) {
    setToolTip(help);
    setAccessibleName(help);
}

void IconButton::setDestructive(bool destructive) {
    if (destructive == destructive_) return;
    destructive_ = destructive;
    update();
}

void IconButton::setActive(bool active) {
    if (active == active_) return;
    active_ = active;
    update();
}

void IconButton::setDisabledOpacity(double opacity) {
    opacity = std::clamp(opacity, 0.0, 1.0);
    if (opacity == disabledOpacity_) return;
    disabledOpacity_ = opacity;
    if (!isEnabled()) update();
}

QSize IconButton::sizeHint() const {
    const int side = int(std::lround(size_));
    return QSize(side, side);
}

IconButton::Look IconButton::look() const {
    const ThemeColors& theme = themeOf(this);
    Look look;
    if (hover_ && destructive_) look.symbol = Qt::white;
    else if (active_) look.symbol = theme.accent.toQColor();
    else look.symbol = theme.foreground.toQColor();
    if (hover_) look.background = destructive_ ? QColor(196, 43, 28) : theme.controlHover.toQColor();
    else look.background = QColor(Qt::transparent);
    look.opacity = isEnabled() ? 1.0 : disabledOpacity_;
    return look;
}

void IconButton::setHover(bool hover) {
    if (hover == hover_) return;
    hover_ = hover;
    update();
}

void IconButton::enterEvent(QEnterEvent* event) {
    setHover(true);
    QAbstractButton::enterEvent(event);
}

void IconButton::leaveEvent(QEvent* event) {
    setHover(false);
    QAbstractButton::leaveEvent(event);
}

bool IconButton::event(QEvent* event) {
    if (event->type() == ThemeChangeEvent::eventType()) update();
    // A disabled button gets no leave event, so it would stay lit.
    if (event->type() == QEvent::EnabledChange && !isEnabled()) setHover(false);
    return QAbstractButton::event(event);
}

void IconButton::paintEvent(QPaintEvent*) {
    const Look l = look();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(l.opacity);
    if (l.background.alpha() > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(l.background);
        p.drawRoundedRect(QRectF(rect()), 6, 6);
    }
    // The symbol's square is 40 % of the button, like a glyph at that size.
    const double glyph = size_ * 0.4;
    const QRectF box((width() - glyph) / 2, (height() - glyph) / 2, glyph, glyph);
    icons::draw(p, *path_, box, l.symbol);
}

}  // namespace corvane
