#include "settings/kit/ReflowRow.h"

#include <QWidget>

namespace corvane {

ReflowLayout::ReflowLayout(QWidget* text, QWidget* button, int spacing, QWidget* parent)
    : QLayout(parent), text_(new QWidgetItem(text)), button_(new QWidgetItem(button)) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(spacing);
    addChildWidget(text);
    addChildWidget(button);
}

ReflowLayout::~ReflowLayout() {
    delete text_;
    delete button_;
}

void ReflowLayout::addItem(QLayoutItem* item) { delete item; }  // exactly its two widgets

int ReflowLayout::count() const { return 2; }

QLayoutItem* ReflowLayout::itemAt(int index) const {
    return index == 0 ? text_ : index == 1 ? button_ : nullptr;
}

QLayoutItem* ReflowLayout::takeAt(int) { return nullptr; }

namespace {
// The text's own minimum also when its size policy would let a layout ignore
// it: a label that shortens itself takes any width, but not a fixed text.
int minimumWidth(const QLayoutItem* item) {
    const QWidget* w = item->widget();
    return std::max(item->minimumSize().width(), w ? w->minimumSizeHint().width() : 0);
}
}  // namespace

bool ReflowLayout::sideBySide(int width) const {
    if (button_->isEmpty() || text_->isEmpty()) return true;
    const QMargins m = contentsMargins();
    return width - m.left() - m.right() >=
           minimumWidth(text_) + spacing() + button_->sizeHint().width();
}

int ReflowLayout::heightForWidth(int width) const {
    const QMargins m = contentsMargins();
    const int inner = width - m.left() - m.right();
    const int textHeight = text_->hasHeightForWidth() ? text_->heightForWidth(inner) : text_->sizeHint().height();
    const int buttonHeight = button_->isEmpty() ? 0 : button_->sizeHint().height();
    const int body = sideBySide(width) ? std::max(textHeight, buttonHeight) : textHeight + spacing() + buttonHeight;
    return body + m.top() + m.bottom();
}

QSize ReflowLayout::sizeHint() const {
    const QMargins m = contentsMargins();
    const QSize t = text_->sizeHint();
    const QSize b = button_->isEmpty() ? QSize() : button_->sizeHint();
    return {t.width() + (b.isEmpty() ? 0 : spacing() + b.width()) + m.left() + m.right(),
            std::max(t.height(), b.height()) + m.top() + m.bottom()};
}

QSize ReflowLayout::minimumSize() const {
    // Stacked, the row is as narrow as the wider of the two.
    const QMargins m = contentsMargins();
    const int width = std::max(minimumWidth(text_), button_->isEmpty() ? 0 : button_->sizeHint().width());
    return {width + m.left() + m.right(), heightForWidth(width + m.left() + m.right())};
}

void ReflowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QRect inner = rect.marginsRemoved(contentsMargins());
    const QSize b = button_->isEmpty() ? QSize(0, 0) : button_->sizeHint();
    if (sideBySide(rect.width())) {
        const int textWidth = inner.width() - (b.isEmpty() ? 0 : spacing() + b.width());
        const int h = std::max(text_->sizeHint().height(), b.height());
        text_->setGeometry(QRect(inner.left(), inner.top() + (h - text_->sizeHint().height()) / 2, textWidth,
                                 text_->sizeHint().height()));
        button_->setGeometry(QRect(inner.right() + 1 - b.width(), inner.top() + (h - b.height()) / 2, b.width(),
                                   b.height()));
        return;
    }
    const int textHeight =
        text_->hasHeightForWidth() ? text_->heightForWidth(inner.width()) : text_->sizeHint().height();
    text_->setGeometry(QRect(inner.left(), inner.top(), inner.width(), textHeight));
    button_->setGeometry(QRect(inner.left(), inner.top() + textHeight + spacing(), b.width(), b.height()));
}

}  // namespace corvane
