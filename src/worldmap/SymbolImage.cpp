#include "worldmap/SymbolImage.h"

#include <QPainter>

#include "shell/components/Icons.h"
#include "shell/components/Theme.h"

namespace corvane {

SymbolImage::SymbolImage(const QString& symbol, QSize size, ColorOf color, QWidget* parent)
    : QWidget(parent), symbol_(symbol), color_(std::move(color)) {
    setFixedSize(size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SymbolImage::setSymbol(const QString& symbol) {
    if (symbol == symbol_) return;
    symbol_ = symbol;
    update();
}

void SymbolImage::setColor(ColorOf color) {
    color_ = std::move(color);
    update();
}

QColor SymbolImage::color() const { return color_ ? color_(themeOf(this)) : QColor(); }

void SymbolImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    icons::draw(p, symbol_, QRectF(rect()), color());
}

}  // namespace corvane
