#include "shell/digital/DigitalTime.h"

#include <QFontMetricsF>
#include <QPainter>

#include "platform/Text.h"
#include "shell/components/Theme.h"
#include "shell/digital/FontFamilies.h"

namespace corvane {

namespace {
const QString& widestSample() {
    static const QString sample = QStringLiteral("00:00:00");
    return sample;
}
}  // namespace

QFont DigitalTimeText::resolveFont(const QString& family, double size) {
    if (!family.isEmpty() && installedFontFamilies().contains(family)) {
        QFont f(family);
        return sizedFont(f, size, QFont::DemiBold);
    }
    return uiFont(size, QFont::DemiBold);
}

void DigitalTimeText::setFont(const QString& family, double size) {
    const QFont f = resolveFont(family, size);
    if (f == font_ && !glyphs_.empty()) return;
    font_ = f;
    prepared_.clear();
    relayout();
}

const QStaticText& DigitalTimeText::preparedGlyph(QChar c) {
    // A clock shows a dozen different characters: each is laid out once per
    // font, not once a second.
    for (const auto& [ch, text] : prepared_)
        if (ch == c) return text;
    QStaticText text{QString(c)};
    text.setTextFormat(Qt::PlainText);
    text.prepare(QTransform(), font_);
    prepared_.emplace_back(c, std::move(text));
    return prepared_.back().second;
}

bool DigitalTimeText::setText(const QString& text) {
    if (text == text_ && (!glyphs_.empty() || text.isEmpty())) return false;
    text_ = text;
    relayout();
    return true;
}

void DigitalTimeText::relayout() {
    const QFontMetricsF fm(font_);
    digitWidth_ = 0;
    for (QChar c = u'0'; c <= u'9'; c = QChar(c.unicode() + 1))
        digitWidth_ = std::max(digitWidth_, fm.horizontalAdvance(c));
    ascent_ = fm.ascent();

    auto widthOf = [&](QStringView s) {
        double w = 0;
        for (QChar c : s) w += c.isDigit() ? digitWidth_ : fm.horizontalAdvance(c);
        return w;
    };

    glyphs_.clear();
    glyphs_.reserve(std::size_t(text_.size()));
    double x = 0;
    for (QChar c : text_) {
        const double advance = c.isDigit() ? digitWidth_ : fm.horizontalAdvance(c);
        Glyph g;
        g.text = preparedGlyph(c);
        // A digit sits in the middle of its widened cell.
        g.x = x + (advance - fm.horizontalAdvance(c)) / 2;
        glyphs_.push_back(std::move(g));
        x += advance;
    }
    textWidth_ = x;
    size_ = QSizeF(std::max(textWidth_, widthOf(widestSample())), fm.height());
}

void DigitalTimeText::paint(QPainter& painter, const QRectF& rect, const QColor& color) const {
    painter.setFont(font_);
    painter.setPen(color);
    const double left = rect.center().x() - textWidth_ / 2;
    const double top = rect.center().y() - size_.height() / 2;
    for (const Glyph& g : glyphs_) painter.drawStaticText(QPointF(left + g.x, top), g.text);
}

DigitalTime::DigitalTime(QWidget* parent) : QWidget(parent) {
    setAccessibleName(tr("Uhrzeit"));
    text_.setFont(QString(), 64);
}

void DigitalTime::setFont(const QString& family, double size) {
    const QSizeF before = text_.size();
    text_.setFont(family, size);
    if (text_.size() != before) updateGeometry();
    update();
}

void DigitalTime::setText(const QString& text) {
    const QSizeF before = text_.size();
    if (!text_.setText(text)) return;
    setAccessibleDescription(text);
    if (text_.size() != before) updateGeometry();
    update();
}

void DigitalTime::setColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    update();
}

QSize DigitalTime::sizeHint() const {
    const QSizeF s = text_.size();
    return QSize(int(std::ceil(s.width())), int(std::ceil(s.height())));
}

void DigitalTime::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    text_.paint(p, QRectF(rect()), color_);
}

}  // namespace corvane
