#include "shell/digital/ClockCaption.h"

#include <QFontMetricsF>
#include <QPainter>

#include "shell/components/Theme.h"

namespace corvane {

namespace {
constexpr double kLineGap = 1.0;
constexpr double kMinShrink = 0.5;

// One line centred in `rect`, shrunk up to half before it is elided.
void drawFitted(QPainter& p, const QRectF& rect, const QString& text, const QFont& font,
                const QColor& color) {
    QFont f = font;
    QFontMetricsF fm(f);
    const double natural = fm.horizontalAdvance(text);
    if (natural > rect.width() && natural > 0) {
        f.setPointSizeF(font.pointSizeF() * std::max(kMinShrink, rect.width() / natural));
        fm = QFontMetricsF(f);
    }
    p.setFont(f);
    p.setPen(color);
    p.drawText(rect, Qt::AlignCenter, fm.elidedText(text, Qt::ElideRight, rect.width()));
}
}  // namespace

ClockCaption::ClockCaption(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setScale(1.0);
}

void ClockCaption::setTexts(const QString& title, const QString& subtitle) {
    if (title == title_ && subtitle == subtitle_) return;
    title_ = title;
    subtitle_ = subtitle;
    updateGeometry();
    update();
}

void ClockCaption::setScale(double scale) {
    if (scale == scale_ && titleFont_.pointSizeF() > 0) return;
    scale_ = scale;
    titleFont_ = uiFont(titleSize(scale), QFont::DemiBold);
    subtitleFont_ = uiFont(subtitleSize(scale));
    updateGeometry();
    update();
}

QSize ClockCaption::sizeHint() const {
    const QFontMetricsF t(titleFont_), s(subtitleFont_);
    const double w = std::max(t.horizontalAdvance(title_), s.horizontalAdvance(subtitle_));
    return QSize(int(std::ceil(w)), int(std::ceil(height(titleFont_, subtitleFont_))));
}

QSize ClockCaption::minimumSizeHint() const { return QSize(0, sizeHint().height()); }

bool ClockCaption::event(QEvent* event) {
    if (event->type() == ThemeChangeEvent::eventType()) update();
    return QWidget::event(event);
}

double ClockCaption::height(const QFont& titleFont, const QFont& subtitleFont) {
    return QFontMetricsF(titleFont).height() + kLineGap + QFontMetricsF(subtitleFont).height();
}

void ClockCaption::paint(QPainter& p, const QRectF& rect, const QString& title,
                         const QString& subtitle, const QFont& titleFont, const QFont& subtitleFont,
                         const ThemeColors& theme) {
    const double th = QFontMetricsF(titleFont).height();
    const double sh = QFontMetricsF(subtitleFont).height();
    const double top = rect.top() + (rect.height() - (th + kLineGap + sh)) / 2;
    drawFitted(p, QRectF(rect.left(), top, rect.width(), th), title, titleFont,
               theme.foreground.toQColor());
    drawFitted(p, QRectF(rect.left(), top + th + kLineGap, rect.width(), sh), subtitle, subtitleFont,
               theme.secondaryForeground.toQColor());
}

void ClockCaption::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    paint(p, QRectF(rect()), title_, subtitle_, titleFont_, subtitleFont_, themeOf(this));
}

}  // namespace corvane
