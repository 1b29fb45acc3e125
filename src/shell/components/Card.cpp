#include "shell/components/Card.h"

#include <QPainter>

#include "shell/components/Theme.h"

namespace corvane {

Card::Card(QMargins padding, QWidget* parent) : QWidget(parent), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(padding);
    layout_->setSpacing(0);
    // No alignment on the layout itself: an aligned layout is given its
    // one-line size hint, so wrapping rows (captions, warnings) would be
    // squeezed to a single line's height. Rows align left one by one.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void Card::paintEvent(QPaintEvent*) {
    const ThemeColors& theme = themeOf(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Half a pixel in, so the 1-pixel outline lies fully inside the widget.
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(theme.border.toQColor(0.6), 1.0));
    p.setBrush(theme.surface.toQColor());
    p.drawRoundedRect(r, 8, 8);
}

}  // namespace corvane
