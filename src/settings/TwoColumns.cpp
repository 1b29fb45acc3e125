#include "settings/TwoColumns.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace corvane {

TwoColumns::TwoColumns(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kSpacing);
    for (QVBoxLayout** column : {&left_, &right_}) {
        auto* holder = new QWidget(this);
        // The width comes from the stretch alone: a long unbreakable line in
        // one column must not take width from the other.
        holder->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        *column = new QVBoxLayout(holder);
        (*column)->setContentsMargins(0, 0, 0, 0);
        (*column)->setSpacing(kColumnSpacing);
        // Top-aligned as an item of the row, not through the column's own
        // alignment: an aligned layout is sized by its size hint, which
        // ignores how much taller wrapped text gets in a narrow column.
        row->addWidget(holder, 1, Qt::AlignTop);
    }
}

void TwoColumns::addLeft(QWidget* widget) { left_->addWidget(widget); }
void TwoColumns::addRight(QWidget* widget) { right_->addWidget(widget); }

}  // namespace corvane
