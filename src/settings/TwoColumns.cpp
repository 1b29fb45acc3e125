#include "settings/TwoColumns.h"

#include <QLayout>
#include <QVBoxLayout>

namespace corvane {

namespace {

// Two columns of equal width side by side; where one of them would be
// narrower than its content allows (a menu's longest entry, a button beside
// a text), the second goes under the first, both at the full width, so
// nothing is cut in a narrow window.
class ColumnsLayout : public QLayout {
public:
    explicit ColumnsLayout(QWidget* parent) : QLayout(parent) { setContentsMargins(0, 0, 0, 0); }
    ~ColumnsLayout() override { qDeleteAll(items_); }

    void addItem(QLayoutItem* item) override { items_.append(item); }
    int count() const override { return int(items_.size()); }
    QLayoutItem* itemAt(int i) const override { return items_.value(i); }
    QLayoutItem* takeAt(int i) override { return i >= 0 && i < items_.size() ? items_.takeAt(i) : nullptr; }
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }

    bool sideBySide(int width) const {
        const int column = (width - TwoColumns::kSpacing) / 2;
        bool cramped = false;
        for (const QLayoutItem* item : items_) {
            const int least = minimumWidth(item);
            // Content wider than the whole row (a word longer than any line)
            // gains nothing from stacking: it is cut either way.
            if (least > width) return true;
            cramped = cramped || least > column;
        }
        return !cramped;
    }

    int heightForWidth(int width) const override {
        if (sideBySide(width)) {
            const int column = (width - TwoColumns::kSpacing) / 2;
            int h = 0;
            for (const QLayoutItem* item : items_) h = std::max(h, heightAt(item, column));
            return h;
        }
        int h = 0;
        for (const QLayoutItem* item : items_) h += heightAt(item, width);
        return h + TwoColumns::kColumnSpacing * std::max(0, int(items_.size()) - 1);
    }

    QSize sizeHint() const override {
        int w = 0;
        for (const QLayoutItem* item : items_) w = std::max(w, minimumWidth(item));
        w = 2 * w + TwoColumns::kSpacing;
        return {w, heightForWidth(w)};
    }

    QSize minimumSize() const override {
        // The width is the row's to give: a column never widens the page.
        // The height follows the width (heightForWidth); as a minimum only
        // what no width can make smaller counts, or a short page would
        // scroll.
        int h = 0;
        for (const QLayoutItem* item : items_) {
            const QWidget* content = item->widget();
            h = std::max(h, content && content->layout() ? content->layout()->minimumSize().height() : 0);
        }
        return {TwoColumns::kSpacing, h};
    }

    void setGeometry(const QRect& rect) override {
        QLayout::setGeometry(rect);
        if (sideBySide(rect.width())) {
            const int column = (rect.width() - TwoColumns::kSpacing) / 2;
            int x = rect.x();
            for (QLayoutItem* item : items_) {
                item->setGeometry(QRect(x, rect.y(), column, heightAt(item, column)));
                x += column + TwoColumns::kSpacing;
            }
            return;
        }
        int y = rect.y();
        for (QLayoutItem* item : items_) {
            const int h = heightAt(item, rect.width());
            item->setGeometry(QRect(rect.x(), y, rect.width(), h));
            y += h + TwoColumns::kColumnSpacing;
        }
    }

private:
    // What a column's content cannot do with less (its policy lets the row
    // ignore it, so it is asked directly).
    static int minimumWidth(const QLayoutItem* item) {
        const QWidget* w = item->widget();
        return w && w->layout() ? w->layout()->minimumSize().width() : item->minimumSize().width();
    }
    // Top-aligned: a column is as tall as its content at that width.
    static int heightAt(const QLayoutItem* item, int width) {
        const QWidget* w = item->widget();
        if (w && w->layout() && w->layout()->hasHeightForWidth()) return w->layout()->totalHeightForWidth(width);
        return item->sizeHint().height();
    }

    QList<QLayoutItem*> items_;
};

}  // namespace

TwoColumns::TwoColumns(QWidget* parent) : QWidget(parent) {
    auto* row = new ColumnsLayout(this);
    for (QVBoxLayout** column : {&left_, &right_}) {
        auto* holder = new QWidget(this);
        // The width comes from the columns layout alone: a long unbreakable
        // line in one column must not take width from the other.
        holder->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        *column = new QVBoxLayout(holder);
        (*column)->setContentsMargins(0, 0, 0, 0);
        (*column)->setSpacing(kColumnSpacing);
        row->addWidget(holder);
    }
}

void TwoColumns::addLeft(QWidget* widget) { left_->addWidget(widget); }
void TwoColumns::addRight(QWidget* widget) { right_->addWidget(widget); }

}  // namespace corvane
