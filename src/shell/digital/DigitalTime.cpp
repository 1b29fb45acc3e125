#include "shell/digital/DigitalTime.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <cmath>

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
    sprites_.reset();
    relayout();
}

const DigitalTimeText::Prepared& DigitalTimeText::preparedGlyph(QChar c) {
    // A clock shows a dozen different characters: each is laid out and
    // measured once per font, not once a second.
    for (const Prepared& p : prepared_)
        if (p.c == c) return p;
    QStaticText text{QString(c)};
    text.setTextFormat(Qt::PlainText);
    text.prepare(QTransform(), font_);
    prepared_.push_back({c, std::move(text), QFontMetricsF(font_).horizontalAdvance(c)});
    return prepared_.back();
}

struct DigitalTimeText::SpriteSet {
    QFont font;
    double scale = 0;
    QRgb color = 0;
    std::vector<Sprite> sprites;
};

std::shared_ptr<DigitalTimeText::SpriteSet> DigitalTimeText::spriteSet(const QFont& font, double scale, QRgb color) {
    // Asked only when a clock's font, scale or colour changes, never per frame.
    static std::vector<std::weak_ptr<SpriteSet>> sets;
    std::shared_ptr<SpriteSet> found;
    std::erase_if(sets, [&](const std::weak_ptr<SpriteSet>& weak) {
        std::shared_ptr<SpriteSet> set = weak.lock();
        if (!set) return true;
        if (!found && set->scale == scale && set->color == color && set->font == font) found = set;
        return false;
    });
    if (found) return found;
    auto set = std::make_shared<SpriteSet>();
    set->font = font;
    set->scale = scale;
    set->color = color;
    sets.push_back(set);
    return set;
}

const DigitalTimeText::Sprite* DigitalTimeText::sprite(QChar c, double scale, const QColor& color) const {
    if (!sprites_ || scale != sprites_->scale || color.rgba() != sprites_->color)
        sprites_ = spriteSet(font_, scale, color.rgba());
    std::vector<Sprite>& sprites = sprites_->sprites;
    for (const Sprite& s : sprites)
        if (s.c == c) return &s;
    // Room beyond the ink box for antialiasing and for glyphs whose ink
    // leaves their box.
    const QRectF ink = QFontMetricsF(font_).boundingRect(c).adjusted(-2, -2, 2, 2);
    const QRect device = QRectF(ink.topLeft() * scale, ink.size() * scale).toAlignedRect();
    if (device.isEmpty() || device.width() > 4096 || device.height() > 4096) return nullptr;
    QImage image(device.size(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return nullptr;
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.translate(-device.topLeft());
        p.scale(scale, scale);
        p.setFont(font_);
        p.setPen(color);
        p.drawText(QPointF(0, 0), QString(c));
    }
    image.setDevicePixelRatio(scale);
    sprites.push_back({c, std::move(image), device});
    return &sprites.back();
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
        digitWidth_ = std::max(digitWidth_, preparedGlyph(c).advance);
    ascent_ = fm.ascent();

    auto widthOf = [&](QStringView s) {
        double w = 0;
        for (QChar c : s) w += c.isDigit() ? digitWidth_ : preparedGlyph(c).advance;
        return w;
    };

    glyphs_.clear();
    glyphs_.reserve(std::size_t(text_.size()));
    double x = 0;
    for (QChar c : text_) {
        const Prepared& prepared = preparedGlyph(c);
        const double advance = c.isDigit() ? digitWidth_ : prepared.advance;
        Glyph g;
        g.c = c;
        g.text = prepared.text;
        // A digit sits in the middle of its widened cell.
        g.x = x + (advance - prepared.advance) / 2;
        g.cell = x;
        g.advance = advance;
        glyphs_.push_back(std::move(g));
        x += advance;
    }
    textWidth_ = x;
    size_ = QSizeF(std::max(textWidth_, widthOf(widestSample())), fm.height());
}

std::pair<double, double> DigitalTimeText::changedSpan(const QString& before) const {
    if (before.size() != text_.size() || std::size_t(text_.size()) != glyphs_.size()) return {0, 0};
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < text_.size(); ++i) {
        if (before[i] == text_[i]) continue;
        if (first < 0) first = i;
        last = i;
    }
    if (first < 0) return {0, 0};
    // Ink may reach a little past a digit's widened cell (italic or wide
    // faces); a fifth of a digit on each side covers the fonts seen.
    const double slack = digitWidth_ * 0.2;
    const Glyph& a = glyphs_[std::size_t(first)];
    const Glyph& b = glyphs_[std::size_t(last)];
    return {a.cell - slack, b.cell + b.advance + slack};
}

void DigitalTimeText::paint(QPainter& painter, const QRectF& rect, const QColor& color) const {
    const double left = rect.center().x() - textWidth_ / 2;
    const double top = rect.center().y() - size_.height() / 2;
    const QTransform t = painter.deviceTransform();
    const bool pixelAligned =
        t.type() <= QTransform::TxScale && t.m11() > 0 && std::abs(t.m11() - t.m22()) < 1e-9;
    // A new second repaints the changed digits' cells only; the unchanged
    // ones outside them need not be copied again.
    const QPaintEngine* engine = painter.paintEngine();
    const QRect exposed = engine ? engine->systemClip().boundingRect() : QRect();
    bool fontSet = false;
    for (const Glyph& g : glyphs_) {
        const Sprite* s = pixelAligned ? sprite(g.c, t.m11(), color) : nullptr;
        if (!s) {
            if (!fontSet) {
                painter.setFont(font_);
                painter.setPen(color);
                fontSet = true;
            }
            painter.drawStaticText(QPointF(left + g.x, top), g.text);
            continue;
        }
        // The baseline origin on a whole device pixel, so the sprite's
        // pixels land on the device's as they were drawn.
        const QPointF baseline = t.map(QPointF(left + g.x, top + ascent_));
        const QPoint at = QPoint(int(std::lround(baseline.x())), int(std::lround(baseline.y()))) + s->device.topLeft();
        if (!exposed.isEmpty() && !exposed.intersects(QRect(at, s->device.size()))) continue;
        const double k = t.m11();
        painter.drawImage(QRectF((at.x() - t.dx()) / k, (at.y() - t.dy()) / k, s->device.width() / k,
                                 s->device.height() / k),
                          s->image);
    }
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
