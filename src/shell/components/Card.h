#pragma once

#include <QMargins>
#include <QVBoxLayout>
#include <QWidget>

namespace corvane {

// The rounded, outlined surface the settings pages group their rows on. Add
// the content to `contentLayout()`; it stacks from the left, without spacing,
// inside `padding`, and the card takes the full width it is offered.
class Card : public QWidget {
    Q_OBJECT
public:
    explicit Card(QMargins padding = QMargins(14, 12, 14, 12), QWidget* parent = nullptr);

    QVBoxLayout* contentLayout() const { return layout_; }
    void addWidget(QWidget* widget) { layout_->addWidget(widget, 0, Qt::AlignLeft); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* layout_;
};

}  // namespace corvane
