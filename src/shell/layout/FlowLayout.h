#pragma once

#include <QLayout>
#include <QList>
#include <limits>
#include <vector>

namespace corvane {

// Places its items left to right, starting a new row when the next one would
// not fit, and centres every row (or starts it at the leading edge). Its
// height depends on the width it gets.
class FlowLayout : public QLayout {
    Q_OBJECT
public:
    enum class Rows { centred, leading };
    explicit FlowLayout(int spacing = 8, QWidget* parent = nullptr, Rows rows = Rows::centred);
    ~FlowLayout() override;

    struct Row {
        std::vector<int> items;  // indices, ascending
        double width = 0;        // including the gaps
        double height = 0;       // of the tallest item
    };
    // The row breaking, over measured item sizes. An item wider than
    // `maxWidth` gets a row of its own. An infinite width keeps one row.
    static std::vector<Row> rows(const std::vector<QSizeF>& sizes, double maxWidth, double spacing);
    // Width and height of those rows, stacked with `spacing` between them.
    static QSizeF size(const std::vector<Row>& rows, double spacing);

    void addItem(QLayoutItem* item) override;
    int count() const override { return int(items_.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;

    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    std::vector<QSizeF> measure(double maxWidth) const;
    QList<QLayoutItem*> visibleItems() const;

    QList<QLayoutItem*> items_;
    Rows rowAlignment_;
};

}  // namespace corvane
