#include "shell/layout/FlowLayout.h"

#include <QStyle>
#include <QWidget>
#include <cmath>

namespace corvane {

FlowLayout::FlowLayout(int spacing, QWidget* parent, Rows rows) : QLayout(parent), rowAlignment_(rows) {
    setSpacing(spacing);
    setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout() {
    while (QLayoutItem* item = takeAt(0)) delete item;
}

std::vector<FlowLayout::Row> FlowLayout::rows(const std::vector<QSizeF>& sizes, double maxWidth,
                                              double spacing) {
    std::vector<Row> result;
    if (sizes.empty()) return result;
    Row open;
    for (int i = 0; i < int(sizes.size()); ++i) {
        const QSizeF& s = sizes[std::size_t(i)];
        const double candidate = open.items.empty() ? s.width() : open.width + spacing + s.width();
        if (candidate <= maxWidth || open.items.empty()) {
            // An item wider than the space still needs a row: it starts one alone.
            open.width = candidate;
        } else {
            result.push_back(std::move(open));
            open = Row{};
            open.width = s.width();
        }
        open.height = std::max(open.height, s.height());
        open.items.push_back(i);
    }
    result.push_back(std::move(open));
    return result;
}

QSizeF FlowLayout::size(const std::vector<Row>& rows, double spacing) {
    if (rows.empty()) return {0, 0};
    double w = 0;
    double h = spacing * double(rows.size() - 1);
    for (const Row& r : rows) {
        w = std::max(w, r.width);
        h += r.height;
    }
    return {w, h};
}

void FlowLayout::addItem(QLayoutItem* item) {
    items_.append(item);
    invalidate();
}

QLayoutItem* FlowLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* FlowLayout::takeAt(int index) {
    if (index < 0 || index >= items_.size()) return nullptr;
    QLayoutItem* item = items_.takeAt(index);
    invalidate();
    return item;
}

QList<QLayoutItem*> FlowLayout::visibleItems() const {
    QList<QLayoutItem*> shown;
    for (QLayoutItem* item : items_)
        if (!item->isEmpty()) shown.append(item);
    return shown;
}

std::vector<QSizeF> FlowLayout::measure(double maxWidth) const {
    std::vector<QSizeF> sizes;
    const auto shown = visibleItems();
    sizes.reserve(std::size_t(shown.size()));
    for (QLayoutItem* item : shown) {
        QSize hint = item->sizeHint().expandedTo(item->minimumSize()).boundedTo(item->maximumSize());
        // An item that can shrink takes the width offered rather than overhang it.
        if (std::isfinite(maxWidth) && hint.width() > maxWidth &&
            item->minimumSize().width() < hint.width()) {
            hint.setWidth(std::max(item->minimumSize().width(), int(maxWidth)));
        }
        if (item->hasHeightForWidth()) hint.setHeight(item->heightForWidth(hint.width()));
        sizes.emplace_back(hint);
    }
    return sizes;
}

int FlowLayout::heightForWidth(int width) const {
    const QMargins m = contentsMargins();
    const double inner = width - m.left() - m.right();
    const double s = spacing();
    return int(std::ceil(size(rows(measure(inner), inner, s), s).height())) + m.top() + m.bottom();
}

QSize FlowLayout::sizeHint() const {
    const QMargins m = contentsMargins();
    const double s = spacing();
    const double inf = std::numeric_limits<double>::infinity();
    const QSizeF one = size(rows(measure(inf), inf, s), s);
    return QSize(int(std::ceil(one.width())) + m.left() + m.right(),
                 int(std::ceil(one.height())) + m.top() + m.bottom());
}

QSize FlowLayout::minimumSize() const {
    // Narrowest useful width: the widest item alone in its row.
    QSize least(0, 0);
    for (QLayoutItem* item : visibleItems()) least = least.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return least + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void FlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QRect inner = rect.marginsRemoved(contentsMargins());
    const double s = spacing();
    const auto shown = visibleItems();
    const std::vector<QSizeF> sizes = measure(inner.width());
    const std::vector<Row> all = rows(sizes, inner.width(), s);
    const Qt::LayoutDirection direction = parentWidget() ? parentWidget()->layoutDirection() : Qt::LeftToRight;
    double y = inner.y();
    for (const Row& row : all) {
        double x = inner.x() + (rowAlignment_ == Rows::leading ? 0.0 : (inner.width() - row.width) * 0.5);
        for (int i : row.items) {
            const QSizeF& sz = sizes[std::size_t(i)];
            const double top = y + (row.height - sz.height()) * 0.5;
            QRect r(QPoint(int(std::lround(x)), int(std::lround(top))), sz.toSize());
            // Leading is the right edge in a right-to-left layout.
            if (rowAlignment_ == Rows::leading) r = QStyle::visualRect(direction, inner, r);
            // QWidgetItem clips an overwide widget to the layout's left edge;
            // a centred row must overhang both edges, so widgets are placed
            // directly.
            if (QWidget* w = shown.at(i)->widget()) w->setGeometry(r);
            else shown.at(i)->setGeometry(r);
            x += sz.width() + s;
        }
        y += row.height + s;
    }
}

}  // namespace corvane
