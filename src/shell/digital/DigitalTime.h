#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QSizeF>
#include <QStaticText>
#include <QWidget>
#include <memory>
#include <utility>
#include <vector>

class QPainter;

namespace corvane {

// The digits of a digital clock laid out once per text: every digit takes the
// width of the widest digit, so times of the same length have one width, and
// the block is never narrower than "00:00:00". Painting reuses the layout.
class DigitalTimeText {
public:
    // Family from the settings; it is used only when installed (exact name),
    // else the system font. Always semibold.
    void setFont(const QString& family, double size);
    // Returns whether the text changed.
    bool setText(const QString& text);

    const QFont& font() const { return font_; }
    const QString& text() const { return text_; }
    QSizeF size() const { return size_; }

    // Draws centred in `rect`. Characters wholly outside the area being
    // repainted are skipped.
    void paint(QPainter& painter, const QRectF& rect, const QColor& color) const;

    // The characters that differ from `before`, a text of the same length:
    // the horizontal span of their cells from the text's left edge, with room
    // for ink that leaves its cell. Empty when nothing differs or the
    // lengths differ.
    std::pair<double, double> changedSpan(const QString& before) const;
    double textWidth() const { return textWidth_; }

    static QFont resolveFont(const QString& family, double size);

private:
    struct Prepared {
        QChar c;
        QStaticText text;
        double advance = 0;
    };
    // One character drawn once at one device scale and colour: a new second
    // copies the changed digits' pixels instead of rasterising their
    // outlines again (large digits bypass the font's glyph cache).
    struct Sprite {
        QChar c;
        QImage image;
        QRect device;  // relative to the baseline origin, in device pixels
    };

    // The sprites of one font at one scale and colour, shared by every
    // clock that draws them: a grid of clocks draws each digit once.
    struct SpriteSet;
    static std::shared_ptr<SpriteSet> spriteSet(const QFont& font, double scale, QRgb color);

    void relayout();
    const Prepared& preparedGlyph(QChar c);
    const Sprite* sprite(QChar c, double scale, const QColor& color) const;

    struct Glyph {
        QChar c;
        QStaticText text;
        double x = 0;      // where the character is drawn
        double cell = 0;   // its cell's left edge
        double advance = 0;
    };
    QFont font_;
    QString text_;
    std::vector<Glyph> glyphs_;
    std::vector<Prepared> prepared_;
    mutable std::shared_ptr<SpriteSet> sprites_;
    double digitWidth_ = 0;
    double textWidth_ = 0;
    double ascent_ = 0;
    QSizeF size_;
};

// The widget form, for a lone digital clock.
class DigitalTime : public QWidget {
    Q_OBJECT
public:
    explicit DigitalTime(QWidget* parent = nullptr);

    void setFont(const QString& family, double size);
    // Repaints only when the text differs.
    void setText(const QString& text);
    void setColor(const QColor& color);

    const DigitalTimeText& layout() const { return text_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DigitalTimeText text_;
    QColor color_ = Qt::white;
};

}  // namespace corvane
