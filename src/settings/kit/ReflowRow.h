#pragma once

#include <QLayout>

namespace corvane {

// A text and the button that goes with it (a file name and "Durchsuchen …",
// a station and "Suchen …"): side by side while the text gets at least its
// minimum width there, else the button moves under the text, so neither is
// cut in a narrow column. The text takes what the button leaves. When one of
// the two is deleted, the other has the row to itself.
class ReflowLayout : public QLayout {
    Q_OBJECT
public:
    ReflowLayout(QWidget* text, QWidget* button, int spacing, QWidget* parent);
    ~ReflowLayout() override;

    // Whether the button stands beside the text at `width`.
    bool sideBySide(int width) const;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Either is null once Qt took it out (its widget was deleted or moved).
    QLayoutItem* text_ = nullptr;
    QLayoutItem* button_ = nullptr;
};

}  // namespace corvane
