#pragma once

#include <QLineEdit>

#include "shell/digital/ClockCaption.h"

namespace corvane {

// A text field whose placeholder shrinks, as the clock captions do, down to
// half its size before it is cut with an ellipsis: in a narrow row the hint
// of what belongs in the field stays readable as a whole. Typed text keeps
// the field's font.
class FittedLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit FittedLineEdit(QWidget* parent = nullptr);

    // The placeholder as it is drawn now, with the font it is drawn in.
    const CaptionLine& shownPlaceholder() const { return line_; }
    // The width the field gives its placeholder.
    int placeholderRoom() const;
    // The field width that shows the placeholder at its full size.
    int wholePlaceholderWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refit();
    QRect placeholderRect() const { return placeholderRect(rect()); }
    QRect placeholderRect(const QRect& frame) const;

    CaptionLine line_;
    QString fittedFor_;
    // Whether this field draws the placeholder (shrunk) instead of Qt.
    bool drawsPlaceholder_ = false;
};

}  // namespace corvane
