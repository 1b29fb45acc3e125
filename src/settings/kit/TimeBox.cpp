#include "settings/kit/TimeBox.h"

#include <QPaintEvent>
#include <QPainter>

#include "shell/components/Theme.h"

namespace corvane {

namespace {
constexpr int kPadH = 10;
constexpr double kRadius = 8;
static_assert(kPadH > kRadius, "the time's line must lie clear of the rounded corners");

// The width the time takes with every digit as wide as a zero, so the scale
// stays put while the digits change, whatever the font's figures.
double stableWidth(const QFontMetricsF& m, const QString& text) {
    QString shape = text;
    for (QChar& c : shape)
        if (c.isDigit()) c = QLatin1Char('0');
    return m.horizontalAdvance(shape);
}
}  // namespace

TimeBox::TimeBox(double timeSize, int timeHeight, int padV, QWidget* parent)
    : QWidget(parent),
      timeFont_(uiFont(timeSize, QFont::DemiBold)),
      statusFont_(uiFont(12)),
      timeHeight_(timeHeight),
      padV_(padV) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // It repaints up to 25 times a second while a stopwatch runs; painting
    // every pixel itself spares the card and the window behind it each time.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TimeBox::setTime(const QString& text) {
    if (text == time_) return;
    time_ = text;
    setAccessibleName(time_);
    // Only the time's line: the panel's rounded outline and the status stay.
    update(timeLine());
}

QRect TimeBox::timeLine() const {
    // Inset sideways by more than the corner radius: all of it lies on the
    // panel's flat colour.
    return QRect(kPadH, padV_, std::max(0, width() - 2 * kPadH), timeHeight_).intersected(rect());
}

void TimeBox::setStatus(const QString& text) {
    if (text == status_) return;
    status_ = text;
    setAccessibleDescription(status_);
    update();
}

QSize TimeBox::sizeHint() const {
    const QFontMetricsF m(timeFont_);
    const int width = int(std::ceil(stableWidth(m, time_))) + 2 * kPadH;
    return {width, minimumSizeHint().height()};
}

QSize TimeBox::minimumSizeHint() const {
    const QFontMetrics s(statusFont_);
    return {2 * kPadH + 20, padV_ + timeHeight_ + s.height() + padV_};
}

void TimeBox::paintEvent(QPaintEvent* event) {
    const ThemeColors& t = themeOf(this);
    QPainter p(this);
    const bool timeOnly = timeLine().contains(event->rect());
    if (timeOnly) {
        p.fillRect(event->rect(), t.background.toQColor());
    } else {
        // The box sits on a card: its corners show the card's surface.
        p.fillRect(rect(), t.surface.toQColor());
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(t.background.toQColor());
        p.drawRoundedRect(QRectF(rect()), kRadius, kRadius);
    }
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF inner = QRectF(rect()).adjusted(kPadH, padV_, -kPadH, -padV_);
    const QFontMetricsF m(timeFont_);
    const double natural = stableWidth(m, time_);
    const double scale = natural > inner.width() && natural > 0 ? inner.width() / natural : 1.0;
    const QRectF timeRect(inner.left(), inner.top(), inner.width(), timeHeight_);
    p.setPen(t.foreground.toQColor());
    p.setFont(timeFont_);
    if (scale < 1.0) {
        p.save();
        p.translate(timeRect.center());
        p.scale(scale, scale);
        p.drawText(QRectF(-natural / 2 - 2, -timeHeight_ / 2.0, natural + 4, timeHeight_), Qt::AlignCenter, time_);
        p.restore();
    } else {
        p.drawText(timeRect, Qt::AlignCenter, time_);
    }
    if (timeOnly) return;
    p.setFont(statusFont_);
    p.setPen(t.secondaryForeground.toQColor());
    p.drawText(QRectF(inner.left(), timeRect.bottom(), inner.width(), inner.bottom() - timeRect.bottom()),
               Qt::AlignHCenter | Qt::AlignTop, status_);
}

}  // namespace corvane
