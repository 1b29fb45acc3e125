#include "shell/views/FittedText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "shell/components/Theme.h"

namespace corvane {

FittedText::FittedText(const QFont& font, double minScale, Role color, QWidget* parent)
    : QWidget(parent), font_(font), minScale_(minScale), color_(std::move(color)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void FittedText::setText(const QString& text) {
    if (text == text_) return;
    const bool grew = QFontMetricsF(font_).horizontalAdvance(text) > QFontMetricsF(font_).horizontalAdvance(text_);
    text_ = text;
    if (grew) updateGeometry();
    update();
}

void FittedText::setTextFont(const QFont& font) {
    if (font == font_) return;
    font_ = font;
    updateGeometry();
    update();
}

double FittedText::shownPointSize() const {
    const double natural = QFontMetricsF(font_).horizontalAdvance(text_);
    const double scale = natural > width() && natural > 0 ? std::max(minScale_, width() / natural) : 1.0;
    return font_.pointSizeF() * scale;
}

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
    QFont f = font_;
    f.setPointSizeF(std::max(0.5, shownPointSize()));
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(f);
    p.setPen(color_(themeOf(this)));
    const QString shown = QFontMetricsF(f).elidedText(text_, Qt::ElideRight, width());
    p.drawText(rect(), int(alignment_), shown);
}

}  // namespace corvane
