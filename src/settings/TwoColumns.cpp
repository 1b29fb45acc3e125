#include "settings/TwoColumns.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace corvane {

TwoColumns::TwoColumns(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kSpacing);
    left_ = new QVBoxLayout;
    right_ = new QVBoxLayout;
    for (QVBoxLayout* column : {left_, right_}) {
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(kColumnSpacing);
        column->setAlignment(Qt::AlignTop);
        // Equal stretch: both columns take half of what the spacing leaves,
        // whatever their contents ask for.
        row->addLayout(column, 1);
    }
}

void TwoColumns::addLeft(QWidget* widget) { left_->addWidget(widget); }
void TwoColumns::addRight(QWidget* widget) { right_->addWidget(widget); }

}  // namespace corvane
