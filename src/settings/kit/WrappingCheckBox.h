#pragma once

#include <QCheckBox>

#include "shell/components/FocusRing.h"

namespace corvane {

// A check box whose label wraps onto further lines when its column is too
// narrow for it, instead of being cut off. Anywhere on the label toggles it.
class WrappingCheckBox : public QCheckBox, public FocusShaped {
    Q_OBJECT
public:
    explicit WrappingCheckBox(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    // Around the box and the lines of its label, clear of the letters.
    FocusOutline focusOutline() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    QRect indicatorRect() const;
    // Where the box is drawn: level with the label's first line.
    QRect boxRect() const;
    int textLeft() const;
};

}  // namespace corvane
