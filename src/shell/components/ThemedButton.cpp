#include "shell/components/ThemedButton.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include "shell/components/Icons.h"
#include "shell/components/Theme.h"

namespace corvane {

namespace {
constexpr double kSideInset = 8.0;
constexpr double kMinHeight = 30.0;
constexpr double kIconGap = 6.0;
constexpr double kMinScale = 0.75;
}  // namespace

ThemedButton::ThemedButton(const QString& text, QWidget* parent)
    : QAbstractButton(parent), path_(&icons::path(symbol_)) {
    setText(text);
    setFont(uiFont(13));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::ArrowCursor);
}

void ThemedButton::setAccent(bool accent) {
    if (accent == accent_) return;
    accent_ = accent;
    update();
}

void ThemedButton::setSymbol(const QString& symbol) {
    if (symbol == symbol_) return;
    symbol_ = symbol;
    path_ = &icons::path(symbol_);
    updateGeometry();
    update();
}

void ThemedButton::setNaturalSize(bool natural) {
    if (natural == natural_) return;
    natural_ = natural;
    setSizePolicy(natural ? QSizePolicy::Fixed : QSizePolicy::Expanding, QSizePolicy::Fixed);
    updateGeometry();
}

void ThemedButton::setLabelFont(const QFont& font) {
    setFont(font);
    updateGeometry();
    update();
}

double ThemedButton::iconSide() const {
    return symbol_.isEmpty() ? 0.0 : QFontMetricsF(font()).height() * 0.8;
}

double ThemedButton::labelWidth() const {
    const double icon = iconSide();
    const double gap = (icon > 0 && !text().isEmpty()) ? kIconGap : 0.0;
    return icon + gap + QFontMetricsF(font()).horizontalAdvance(text());
}

QSize ThemedButton::sizeHint() const {
    const double h = std::max(kMinHeight, QFontMetricsF(font()).height() + 8);
    return QSize(int(std::ceil(labelWidth() + 2 * kSideInset)), int(std::ceil(h)));
}

QSize ThemedButton::minimumSizeHint() const {
    // It may shrink its label to 75 % and then elide it, so a narrow space is fine.
    return QSize(int(std::ceil(2 * kSideInset)), sizeHint().height());
}

ThemedButton::Look ThemedButton::look() const {
    const ThemeColors& theme = themeOf(this);
    Look look;
    if (accent_) {
        look.text = theme.accentForeground.toQColor();
        look.fill = theme.accent.toQColor(isDown() ? 0.85 : 1.0);
        look.outline = QColor(Qt::transparent);
    } else {
        look.text = theme.foreground.toQColor();
        look.fill = (isDown() ? theme.controlHover : theme.control).toQColor();
        look.outline = theme.border.toQColor();
    }
    look.opacity = isEnabled() ? 1.0 : 0.4;
    return look;
}

bool ThemedButton::event(QEvent* event) {
    if (event->type() == ThemeChangeEvent::eventType()) update();
    return QAbstractButton::event(event);
}

void ThemedButton::paintEvent(QPaintEvent*) {
    const Look l = look();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(l.opacity);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(l.outline.alpha() == 0 ? QPen(Qt::NoPen) : QPen(l.outline, 1.0));
    p.setBrush(l.fill);
    p.drawRoundedRect(r, 6, 6);

    // The label shrinks to 75 % before it is cut off with an ellipsis.
    const double avail = std::max(0.0, width() - 2 * kSideInset);
    const double natural = labelWidth();
    QFont f = font();
    double scale = 1.0;
    if (natural > avail && natural > 0) {
        scale = std::max(kMinScale, avail / natural);
        f.setPointSizeF(font().pointSizeF() * scale);
    }
    const QFontMetricsF fm(f);
    const double icon = iconSide() * scale;
    const double gap = (icon > 0 && !text().isEmpty()) ? kIconGap * scale : 0.0;
    const double textAvail = std::max(0.0, avail - icon - gap);
    const QString shown = fm.elidedText(text(), Qt::ElideRight, textAvail);
    const double total = icon + gap + fm.horizontalAdvance(shown);
    double x = (width() - total) / 2;
    if (icon > 0) {
        icons::draw(p, *path_, QRectF(x, (height() - icon) / 2, icon, icon), l.text);
        x += icon + gap;
    }
    p.setFont(f);
    p.setPen(l.text);
    p.drawText(QRectF(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter, shown);
}

}  // namespace corvane
