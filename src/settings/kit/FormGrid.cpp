#include "settings/kit/FormGrid.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "shell/components/TextLines.h"

namespace corvane {

FormGrid::FormGrid(int rowSpacing, QWidget* parent) : QWidget(parent), grid_(new QGridLayout(this)) {
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(0);
    // A row whose widgets are all hidden counts as empty, and the grid puts no
    // spacing around empty rows, so hiding a row takes its gap with it.
    grid_->setVerticalSpacing(rowSpacing);
    grid_->setColumnStretch(1, 1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

int FormGrid::addRow(const QString& label, QWidget* control, Qt::Alignment controlAlignment) {
    return addRowWithTopMargin(0, label, control, controlAlignment);
}

int FormGrid::addRowWithTopMargin(int top, const QString& label, QWidget* control,
                                  Qt::Alignment controlAlignment) {
    Row row;
    row.label = new FieldLabel(label, this);
    row.label->setContentsMargins(0, top, label.isEmpty() ? 0 : 10, 0);
    if (labelWidth_ >= 0) row.label->setFixedWidth(labelWidth_);
    row.control = control;
    row.cell = control;
    if (control && top > 0) {
        // Label and control both start `top` lower, so their centres stay
        // level whatever their heights.
        row.cell = new QWidget(this);
        auto* box = new QVBoxLayout(row.cell);
        box->setContentsMargins(0, top, 0, 0);
        box->setSpacing(0);
        box->addWidget(control, 0, controlAlignment);
        controlAlignment = {};
    }
    const int r = int(rows_.size());
    grid_->addWidget(row.label, r, 0, Qt::AlignLeft | Qt::AlignVCenter);
    if (row.cell) grid_->addWidget(row.cell, r, 1, controlAlignment);
    rows_.push_back(row);
    return r;
}

void FormGrid::setLabelWidth(int pixels) {
    labelWidth_ = pixels;
    for (const Row& row : rows_) row.label->setFixedWidth(pixels);
}

void FormGrid::setRowVisible(int row, bool visible) {
    Row& r = rows_.at(std::size_t(row));
    if (r.visible == visible) return;
    r.visible = visible;
    r.label->setVisible(visible);
    if (r.cell) r.cell->setVisible(visible);
}

bool FormGrid::isRowVisible(int row) const { return rows_.at(std::size_t(row)).visible; }

int FormGrid::visibleRowCount() const {
    int n = 0;
    for (const Row& row : rows_) n += row.visible ? 1 : 0;
    return n;
}

}  // namespace corvane
