#pragma once

#include <QWidget>

class QVBoxLayout;

namespace corvane {

// The two-column body of most settings pages: two top-aligned columns of
// equal width, 14 apart, each a vertical stack with spacing 12; in a window
// too narrow for what a column holds, the right column goes under the left
// one, 12 below it. Pages add their cards to `left()` and `right()`.
class TwoColumns : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSpacing = 14;
    static constexpr int kColumnSpacing = 12;

    explicit TwoColumns(QWidget* parent = nullptr);

    QVBoxLayout* left() const { return left_; }
    QVBoxLayout* right() const { return right_; }
    // Adds `widget` to a column, top-aligned, stretched to the column's width.
    void addLeft(QWidget* widget);
    void addRight(QWidget* widget);

private:
    QVBoxLayout* left_;
    QVBoxLayout* right_;
};

}  // namespace corvane
