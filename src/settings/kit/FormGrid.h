#pragma once

#include <QWidget>
#include <vector>

class QGridLayout;

namespace corvane {

class FieldLabel;

// Rows of a FieldLabel and its control, the labels in one column as wide as
// the widest of them (or as a fixed width), the controls beside them. Rows can
// be hidden and shown again without rebuilding anything, so a field that has
// focus keeps it.
class FormGrid : public QWidget {
    Q_OBJECT
public:
    // `rowSpacing` is the vertical gap; there is no horizontal gap, the label
    // brings its own trailing inset.
    explicit FormGrid(int rowSpacing = 6, QWidget* parent = nullptr);

    // Appends "label | control" and returns the row's number. An empty label
    // leaves the first cell empty.
    int addRow(const QString& label, QWidget* control, Qt::Alignment controlAlignment = {});
    // A control alone in the second column, under the one before.
    int addRow(QWidget* control, Qt::Alignment controlAlignment = {}) {
        return addRow(QString(), control, controlAlignment);
    }
    // Appends a row with `top` extra pixels above it (on top of the spacing).
    int addRowWithTopMargin(int top, const QString& label, QWidget* control,
                            Qt::Alignment controlAlignment = {});
    // Fixes the width of the label column.
    void setLabelWidth(int pixels);

    void setRowVisible(int row, bool visible);
    bool isRowVisible(int row) const;
    int rowCount() const { return int(rows_.size()); }
    // Rows currently shown.
    int visibleRowCount() const;

    FieldLabel* label(int row) const { return rows_.at(std::size_t(row)).label; }
    QWidget* control(int row) const { return rows_.at(std::size_t(row)).control; }

private:
    struct Row {
        FieldLabel* label = nullptr;
        QWidget* control = nullptr;
        QWidget* cell = nullptr;  // the control, or a box holding it below its top margin
        bool visible = true;
    };

    QGridLayout* grid_;
    std::vector<Row> rows_;
    int labelWidth_ = -1;
};

}  // namespace corvane
