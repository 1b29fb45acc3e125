#include "shell/views/FittedText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "shell/components/Theme.h"
#include "shell/digital/ClockCaption.h"

namespace corvane {

FittedText::FittedText(const QFont& font, double minScale, Role color, QWidget* parent)
    : QWidget(parent), font_(font), minScale_(minScale), color_(std::move(color)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void FittedText::setText(const QString& text) {
    if (text == text_) return;
    const bool grew = QFontMetricsF(font_).horizontalAdvance(text) > QFontMetricsF(font_).horizontalAdvance(text_);
    text_ = text;
    fittedWidth_ = -1;
    if (grew) updateGeometry();
    update();
}

void FittedText::setTextFont(const QFont& font) {
    if (font == font_) return;
    font_ = font;
    fittedWidth_ = -1;
    updateGeometry();
    update();
}

const CaptionLine& FittedText::shownLine() const {
    // Measured in the shrunk font itself: shrinking by the ratio of the
    // widths alone can come out a little too wide and cut the text off.
    // Fitted again only when the text, the font or the width changed, not
    // on every paint.
    if (width() != fittedWidth_) {
        shown_ = captionfit::fitLine(text_, font_, width(), 1.0, minScale_);
        fittedWidth_ = width();
    }
    return shown_;
}

double FittedText::shownPointSize() const { return shownLine().font.pointSizeF(); }

QSize FittedText::sizeHint() const {
    const QFontMetricsF m(font_);
    return QSize(int(std::ceil(m.horizontalAdvance(text_))), int(std::ceil(m.height())));
}

QSize FittedText::minimumSizeHint() const { return QSize(0, sizeHint().height()); }

bool FittedText::event(QEvent* e) {
    if (e->type() == ThemeChangeEvent::eventType()) update();
    return QWidget::event(e);
}

void FittedText::paintEvent(QPaintEvent*) {
    if (text_.isEmpty()) return;
    const CaptionLine& line = shownLine();
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(line.font);
    p.setPen(color_(themeOf(this)));
    p.drawText(rect(), int(alignment_), line.text);
}

}  // namespace corvane
