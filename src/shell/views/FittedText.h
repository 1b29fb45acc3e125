#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>
#include <functional>

#include "model/Theme.h"
#include "shell/digital/ClockCaption.h"

namespace corvane {

// One line of text that shrinks down to `minScale` of its font before it is
// cut off with an ellipsis. Its colour is a palette role, read when painting,
// so a palette change needs no bookkeeping. Presses pass through to the
// window.
class FittedText : public QWidget {
    Q_OBJECT
public:
    using Role = std::function<QColor(const ThemeColors&)>;

    FittedText(const QFont& font, double minScale, Role color, QWidget* parent = nullptr);

    // Repaints only when the text differs.
    void setText(const QString& text);
    const QString& text() const { return text_; }
    void setTextFont(const QFont& font);
    const QFont& textFont() const { return font_; }
    void setAlignment(Qt::Alignment alignment) { alignment_ = alignment; }

    // The font size the text is drawn at in the current width, and the line
    // as drawn.
    double shownPointSize() const;
    const CaptionLine& shownLine() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QString text_;
    QFont font_;
    double minScale_;
    Role color_;
    Qt::Alignment alignment_ = Qt::AlignCenter;
    // The line as fitted into `fittedWidth_`; -1 after a text or font change.
    mutable CaptionLine shown_;
    mutable int fittedWidth_ = -1;
};

}  // namespace corvane
