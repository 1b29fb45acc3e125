#include "settings/kit/ReflowRow.h"

#include <QWidget>

namespace corvane {

ReflowLayout::ReflowLayout(QWidget* text, QWidget* button, int spacing, QWidget* parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(spacing);
    addChildWidget(text);
    addChildWidget(button);
    text_ = new QWidgetItem(text);
    button_ = new QWidgetItem(button);
}

ReflowLayout::~ReflowLayout() {
    delete text_;
    delete button_;
}

void ReflowLayout::addItem(QLayoutItem* item) {
    // Only the two places exist: one that was taken out may be filled again,
    // the text's first.
    QLayoutItem*& slot = !text_ ? text_ : button_;
    if (slot) {
        qWarning("ReflowLayout holds a text and a button only");
        delete item;
        return;
    }
    slot = item;
    invalidate();
}

int ReflowLayout::count() const { return (text_ ? 1 : 0) + (button_ ? 1 : 0); }

QLayoutItem* ReflowLayout::itemAt(int index) const {
    // The items that are still there, the text first.
    if (index == 0) return text_ ? text_ : button_;
    if (index == 1 && text_) return button_;
    return nullptr;
}

QLayoutItem* ReflowLayout::takeAt(int index) {
    // Qt takes out the item of a widget that is deleted or moved elsewhere;
    // from then on the row is what remains.
    QLayoutItem* item = itemAt(index);
    if (!item) return nullptr;
    (item == text_ ? text_ : button_) = nullptr;
    invalidate();
    return item;
}

namespace {
bool shown(const QLayoutItem* item) { return item && !item->isEmpty(); }

// The text's own minimum also when its size policy would let a layout ignore
// it: a label that shortens itself takes any width, but not a fixed text.
int minimumWidth(const QLayoutItem* item) {
    if (!shown(item)) return 0;
    const QWidget* w = item->widget();
    return std::max(item->minimumSize().width(), w ? w->minimumSizeHint().width() : 0);
}

QSize hint(const QLayoutItem* item) { return shown(item) ? item->sizeHint() : QSize(0, 0); }

int heightAt(const QLayoutItem* item, int width) {
    if (!shown(item)) return 0;
    return item->hasHeightForWidth() ? item->heightForWidth(width) : item->sizeHint().height();
}
}  // namespace

bool ReflowLayout::sideBySide(int width) const {
    if (!shown(button_) || !shown(text_)) return true;
    const QMargins m = contentsMargins();
    return width - m.left() - m.right() >= minimumWidth(text_) + spacing() + button_->sizeHint().width();
}

int ReflowLayout::heightForWidth(int width) const {
    const QMargins m = contentsMargins();
    const int inner = width - m.left() - m.right();
    const int textHeight = heightAt(text_, inner);
    const int buttonHeight = hint(button_).height();
    const bool both = shown(text_) && shown(button_);
    const int body = sideBySide(width) || !both ? std::max(textHeight, buttonHeight)
                                                : textHeight + spacing() + buttonHeight;
    return body + m.top() + m.bottom();
}

QSize ReflowLayout::sizeHint() const {
    const QMargins m = contentsMargins();
    const QSize t = hint(text_);
    const QSize b = hint(button_);
    const int gap = shown(text_) && shown(button_) ? spacing() : 0;
    return {t.width() + gap + b.width() + m.left() + m.right(), std::max(t.height(), b.height()) + m.top() + m.bottom()};
}

QSize ReflowLayout::minimumSize() const {
    // Stacked, the row is as narrow as the wider of the two.
    const QMargins m = contentsMargins();
    const int width = std::max(minimumWidth(text_), hint(button_).width());
    return {width + m.left() + m.right(), heightForWidth(width + m.left() + m.right())};
}

void ReflowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QRect inner = rect.marginsRemoved(contentsMargins());
    const QSize b = hint(button_);
    if (sideBySide(rect.width())) {
        const int gap = shown(text_) && shown(button_) ? spacing() : 0;
        const int textWidth = inner.width() - gap - b.width();
        const int textHeight = hint(text_).height();
        const int h = std::max(textHeight, b.height());
        if (shown(text_))
            text_->setGeometry(QRect(inner.left(), inner.top() + (h - textHeight) / 2, textWidth, textHeight));
        if (shown(button_))
            button_->setGeometry(QRect(inner.right() + 1 - b.width(), inner.top() + (h - b.height()) / 2, b.width(),
                                       b.height()));
        return;
    }
    const int textHeight = heightAt(text_, inner.width());
    text_->setGeometry(QRect(inner.left(), inner.top(), inner.width(), textHeight));
    button_->setGeometry(QRect(inner.left(), inner.top() + textHeight + spacing(), b.width(), b.height()));
}

}  // namespace corvane
