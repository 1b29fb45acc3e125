#include "settings/kit/WrappingCheckBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace corvane {

namespace {
constexpr int kFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
}

WrappingCheckBox::WrappingCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QRect WrappingCheckBox::indicatorRect() const {
    QStyleOptionButton opt;
    initStyleOption(&opt);
    return style()->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, this);
}

QRect WrappingCheckBox::boxRect() const {
    const QRect indicator = indicatorRect();
    const int firstLine = fontMetrics().height();
    return {indicator.x(), 1 + (firstLine - indicator.height()) / 2, indicator.width(), indicator.height()};
}

int WrappingCheckBox::textLeft() const {
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const int spacing = style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &opt, this);
    return indicatorRect().right() + 1 + spacing;
}

QSize WrappingCheckBox::sizeHint() const {
    const QSize one = QCheckBox::sizeHint();
    return {one.width(), heightForWidth(one.width())};
}

QSize WrappingCheckBox::minimumSizeHint() const {
    // Room for the box and the longest word.
    int longest = 0;
    for (const QString& word : text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        longest = std::max(longest, fontMetrics().horizontalAdvance(word));
    const int width = textLeft() + longest + 2;
    return {width, heightForWidth(width)};
}

int WrappingCheckBox::heightForWidth(int width) const {
    const int textWidth = std::max(1, width - textLeft() - 2);
    const QRect r = fontMetrics().boundingRect(QRect(0, 0, textWidth, 100000), kFlags, text());
    return std::max(indicatorRect().height(), r.height()) + 2;
}

void WrappingCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    QStyleOptionButton box = opt;
    box.rect = boxRect();
    p.drawPrimitive(QStyle::PE_IndicatorCheckBox, box);
    const QRect textRect(textLeft(), 1, width() - textLeft() - 2, height() - 2);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(textRect, kFlags, text());
}

FocusOutline WrappingCheckBox::focusOutline() const {
    const QRect textRect(textLeft(), 1, width() - textLeft() - 2, height() - 2);
    const QRect label = fontMetrics().boundingRect(textRect, kFlags, text());
    return {QRectF(boxRect().united(label)), 0, false, true};
}

}  // namespace corvane
