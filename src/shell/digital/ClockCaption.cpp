#include "shell/digital/ClockCaption.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

#include "shell/components/Theme.h"

namespace corvane {

namespace {
constexpr double kLineGap = 1.0;
// Each retry shrinks at least this much more, so a width that rounds up
// again and again still ends after a few measurements.
constexpr double kMinStep = 0.98;
constexpr int kMaxTries = 8;

QFont shrunk(const QFont& font, double scale) {
    if (scale == 1.0) return font;
    QFont f = font;
    f.setPointSizeF(font.pointSizeF() * scale);
    return f;
}

double widthAt(const QString& text, const QFont& font, double scale) {
    return QFontMetricsF(shrunk(font, scale)).horizontalAdvance(text);
}
}  // namespace

namespace captionfit {

std::optional<double> scaleToFit(const QString& text, const QFont& font, double width, double minScale) {
    if (text.isEmpty()) return 1.0;
    if (!(width > 0)) return std::nullopt;
    double measured = widthAt(text, font, 1.0);
    if (measured <= width) return 1.0;
    // Proportional first, then as often as the shrunk font still comes out
    // too wide, by what it missed.
    double scale = width / measured;
    for (int i = 0; i < kMaxTries && scale >= minScale; ++i) {
        measured = widthAt(text, font, scale);
        if (measured <= width) return scale;
        scale *= std::min(kMinStep, width / measured);
    }
    if (minScale < 1.0 && widthAt(text, font, minScale) <= width) return minScale;
    return std::nullopt;
}

CaptionLine fitLine(const QString& text, const QFont& font, double width, double limit, double minScale) {
    return lineAt(text, font, width, scaleToFit(text, font, width, minScale), limit, minScale);
}

CaptionLine lineAt(const QString& text, const QFont& font, double width, std::optional<double> own, double limit,
                   double minScale) {
    CaptionLine line;
    if (!own) {
        line.scale = minScale;
        line.font = shrunk(font, minScale);
        line.text = QFontMetricsF(line.font).elidedText(text, Qt::ElideRight, std::max(0.0, width));
        line.whole = line.text == text;
        return line;
    }
    line.scale = std::clamp(limit, minScale, *own);
    line.font = shrunk(font, line.scale);
    // The shared scale is smaller than this text's own; at that size it
    // is narrower still, but only a measurement says so for certain.
    if (line.scale < *own && QFontMetricsF(line.font).horizontalAdvance(text) > width) {
        line.scale = *own;
        line.font = shrunk(font, line.scale);
    }
    line.text = text;
    return line;
}

CaptionLayout fit(const QString& title, const QString& subtitle, const QFont& titleFont,
                  const QFont& subtitleFont, double width, const CaptionScales& limits) {
    return {fitLine(title, titleFont, width, limits.title), fitLine(subtitle, subtitleFont, width, limits.subtitle),
            QFontMetricsF(titleFont).height(), QFontMetricsF(subtitleFont).height()};
}

SharedScales::SharedScales(const QFont& titleFont, const QFont& subtitleFont, double width)
    : titleFont_(titleFont),
      subtitleFont_(subtitleFont),
      width_(width),
      titleHeight_(QFontMetricsF(titleFont).height()),
      subtitleHeight_(QFontMetricsF(subtitleFont).height()) {}

void SharedScales::add(const QString& title, const QString& subtitle) {
    Entry e{title, subtitle, scaleToFit(title, titleFont_, width_), scaleToFit(subtitle, subtitleFont_, width_)};
    if (e.ownTitle) scales_.title = std::min(scales_.title, *e.ownTitle);
    if (e.ownSubtitle) scales_.subtitle = std::min(scales_.subtitle, *e.ownSubtitle);
    entries_.push_back(std::move(e));
}

CaptionLayout SharedScales::layout(std::size_t index) const {
    const Entry& e = entries_[index];
    return {lineAt(e.title, titleFont_, width_, e.ownTitle, scales_.title),
            lineAt(e.subtitle, subtitleFont_, width_, e.ownSubtitle, scales_.subtitle), titleHeight_, subtitleHeight_};
}

}  // namespace captionfit

ClockCaption::ClockCaption(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // Applied directly: setScale skips the scale the caption already has,
    // and the fonts of the starting scale are not made yet.
    applyScale(scale_);
}

void ClockCaption::setTexts(const QString& title, const QString& subtitle) {
    if (title == title_ && subtitle == subtitle_) return;
    title_ = title;
    subtitle_ = subtitle;
    fittedWidth_ = -1;
    updateGeometry();
    update();
}

void ClockCaption::setScale(double scale) {
    if (scale == scale_) return;
    applyScale(scale);
}

void ClockCaption::applyScale(double scale) {
    scale_ = scale;
    titleFont_ = uiFont(titleSize(scale), QFont::DemiBold);
    subtitleFont_ = uiFont(subtitleSize(scale));
    fittedWidth_ = -1;
    updateGeometry();
    update();
}

void ClockCaption::refit() const {
    fittedWidth_ = width();
    shown_ = captionfit::fit(title_, subtitle_, titleFont_, subtitleFont_, fittedWidth_);
}

const CaptionLayout& ClockCaption::shown() const {
    if (width() != fittedWidth_) refit();
    return shown_;
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

void ClockCaption::paint(QPainter& p, const QRectF& rect, const CaptionLayout& caption, const ThemeColors& theme) {
    const double th = caption.titleHeight;
    const double sh = caption.subtitleHeight;
    const double top = rect.top() + (rect.height() - (th + kLineGap + sh)) / 2;
    p.setFont(caption.title.font);
    p.setPen(theme.foreground.toQColor());
    p.drawText(QRectF(rect.left(), top, rect.width(), th), Qt::AlignCenter, caption.title.text);
    p.setFont(caption.subtitle.font);
    p.setPen(theme.secondaryForeground.toQColor());
    p.drawText(QRectF(rect.left(), top + th + kLineGap, rect.width(), sh), Qt::AlignCenter, caption.subtitle.text);
}

void ClockCaption::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    paint(p, QRectF(rect()), shown(), themeOf(this));
}

}  // namespace corvane
