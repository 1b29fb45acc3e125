#include "settings/kit/FittedLineEdit.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionFrame>
#include <cmath>

namespace corvane {

namespace {
// QLineEdit keeps this much between its frame's contents and the text.
constexpr int kTextMargin = 2;
}  // namespace

FittedLineEdit::FittedLineEdit(QWidget* parent) : QLineEdit(parent) {}

QRect FittedLineEdit::placeholderRect(const QRect& frame) const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    option.rect = frame;
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    return contents.marginsRemoved(textMargins()).adjusted(kTextMargin, 0, -kTextMargin, 0);
}

int FittedLineEdit::placeholderRoom() const { return std::max(0, placeholderRect().width()); }

int FittedLineEdit::wholePlaceholderWidth() const {
    // What frame, margins and padding take, measured on a field wide enough
    // for any of them.
    constexpr int kWide = 1000;
    const int around = kWide - placeholderRect(QRect(0, 0, kWide, height())).width();
    return int(std::ceil(QFontMetricsF(font()).horizontalAdvance(placeholderText()))) + around;
}

void FittedLineEdit::refit() {
    fittedFor_ = placeholderText();
    line_ = captionfit::fitLine(fittedFor_, font(), placeholderRoom());
    const bool own = line_.scale < 1.0;
    if (own == drawsPlaceholder_) return;
    drawsPlaceholder_ = own;
    // Qt draws the placeholder only cut at full size: while it is shrunk,
    // Qt's is made invisible and this field draws its own over it.
    if (own) {
        QPalette pal = palette();
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pal.setColor(g, QPalette::PlaceholderText, Qt::transparent);
        setPalette(pal);
    } else {
        setPalette(QPalette());  // inherit everything again
    }
}

void FittedLineEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    refit();
}

void FittedLineEdit::showEvent(QShowEvent* event) {
    QLineEdit::showEvent(event);
    refit();
}

void FittedLineEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) refit();
}

void FittedLineEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (!drawsPlaceholder_ || !text().isEmpty() || placeholderText().isEmpty()) return;
    if (fittedFor_ != placeholderText()) {
        // A new placeholder since the last fit: measured now, drawn the same.
        fittedFor_ = placeholderText();
        line_ = captionfit::fitLine(fittedFor_, font(), placeholderRoom());
    }
    // The colour Qt would have used: the one this field inherits.
    const QPalette natural = parentWidget() ? parentWidget()->palette() : QApplication::palette(this);
    const QPalette::ColorGroup group =
        !isEnabled() ? QPalette::Disabled : (isActiveWindow() ? QPalette::Active : QPalette::Inactive);
    QPainter p(this);
    p.setClipRect(placeholderRect().adjusted(-kTextMargin, 0, kTextMargin, 0));
    p.setFont(line_.font);
    p.setPen(natural.color(group, QPalette::PlaceholderText));
    p.drawText(placeholderRect(), Qt::AlignLeft | Qt::AlignVCenter, line_.text);
}

}  // namespace corvane
