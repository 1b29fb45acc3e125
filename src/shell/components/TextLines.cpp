#include "shell/components/TextLines.h"

#include "shell/components/Theme.h"

#include <QPainter>
#include <cmath>

namespace corvane {

namespace {
const QColor kWarningColor(247, 167, 0);
// The shortest line a wrapping label asks for, in average characters: a
// word longer than that is broken rather than widen the label.
constexpr int kShortestLine = 10;
}

ThemedLabel::ThemedLabel(const QString& text, double fontSize, QFont::Weight weight, Tone tone,
                         QWidget* parent)
    : QLabel(parent), tone_(tone) {
    setTextFormat(Qt::PlainText);
    setText(text);
    setFont(uiFont(fontSize, weight));
    applyTheme();
}

bool ThemedLabel::event(QEvent* event) {
    // Show as well: a label shown (and so polished) while its page was not yet
    // inside the themed window would otherwise keep the default palette.
    if (event->type() == ThemeChangeEvent::eventType() || event->type() == QEvent::ParentChange ||
        event->type() == QEvent::Polish || event->type() == QEvent::Show)
        applyTheme();
    return QLabel::event(event);
}

void ThemedLabel::applyTheme() {
    const ThemeColors& theme = themeOf(this);
    QColor color;
    switch (tone_) {
        case Tone::foreground: color = theme.foreground.toQColor(); break;
        case Tone::secondary: color = theme.secondaryForeground.toQColor(); break;
        case Tone::warning: color = kWarningColor; break;
        case Tone::accent: color = theme.accent.toQColor(); break;
    }
    QPalette pal = palette();
    if (pal.color(QPalette::WindowText) == color) return;
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

bool ThemedLabel::breaksWords() const {
    // Selectable or rich text keeps QLabel's own drawing.
    return wordWrap() && textFormat() == Qt::PlainText &&
           !(textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard));
}

double ThemedLabel::layOut(QTextLayout& layout, double width) const {
    QString shown = text();
    shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
    layout.setText(shown);
    layout.setFont(font());
    QTextOption option(alignment() & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const double leading = std::max(0.0, QFontMetricsF(font()).leading());
    double y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(1.0, width));
        if (line.lineNumber() > 0) y += leading;
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return y;
}

int ThemedLabel::heightForWidth(int width) const {
    if (!breaksWords()) return QLabel::heightForWidth(width);
    const QMargins m = contentsMargins();
    QTextLayout layout;
    return int(std::ceil(layOut(layout, width - m.left() - m.right()))) + m.top() + m.bottom();
}

QSize ThemedLabel::sizeHint() const {
    const QSize hint = QLabel::sizeHint();
    if (!breaksWords()) return hint;
    return {hint.width(), heightForWidth(hint.width())};
}

QSize ThemedLabel::minimumSizeHint() const {
    QSize least = QLabel::minimumSizeHint();
    if (!breaksWords()) return least;
    const QMargins m = contentsMargins();
    least.setWidth(std::min(least.width(), fontMetrics().averageCharWidth() * kShortestLine + m.left() + m.right()));
    return least;
}

void ThemedLabel::paintEvent(QPaintEvent* event) {
    if (!breaksWords()) {
        QLabel::paintEvent(event);
        return;
    }
    const QRect r = contentsRect();
    QTextLayout layout;
    const double h = layOut(layout, r.width());
    double top = r.top();
    if (alignment() & Qt::AlignVCenter) top += std::max(0.0, (r.height() - h) / 2);
    else if (alignment() & Qt::AlignBottom) top += std::max(0.0, r.height() - h);
    QPainter p(this);
    drawFrame(&p);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    layout.draw(&p, QPointF(r.left(), top));
}

SectionTitle::SectionTitle(const QString& text, QWidget* parent)
    : ThemedLabel(text, 15, QFont::DemiBold, Tone::foreground, parent) {
    setContentsMargins(0, 0, 0, 8);
}

Caption::Caption(const QString& text, QWidget* parent)
    : ThemedLabel(text, 12, QFont::Normal, Tone::secondary, parent) {
    setWordWrap(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
}

FieldLabel::FieldLabel(const QString& text, QWidget* parent)
    : ThemedLabel(text, 13, QFont::Normal, Tone::foreground, parent) {
    setContentsMargins(0, 0, 10, 0);
}

WarningText::WarningText(const std::optional<QString>& text, QWidget* parent)
    : ThemedLabel({}, 12, QFont::Normal, Tone::warning, parent) {
    setWordWrap(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    setContentsMargins(0, 4, 0, 0);
    setWarning(text);
}

void WarningText::setWarning(const std::optional<QString>& text) {
    const QString shown = text.value_or(QString());
    setText(shown);
    if (shown.isEmpty()) {
        hide();
    } else if (parentWidget()) {
        // Only a child is shown here: a label without parent would become a window.
        show();
    }
    updateGeometry();
}

QSize WarningText::sizeHint() const { return hasWarning() ? ThemedLabel::sizeHint() : QSize(0, 0); }

QSize WarningText::minimumSizeHint() const {
    return hasWarning() ? ThemedLabel::minimumSizeHint() : QSize(0, 0);
}

}  // namespace corvane
