#include "shell/components/TextLines.h"

#include "shell/components/Theme.h"

namespace corvane {

namespace {
const QColor kWarningColor(247, 167, 0);
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
