#include "dial/DialPainter.h"

#include "dial/DialGeometry.h"
#include "dial/GlowLayer.h"
#include "platform/Text.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace corvane {

QColor sRGBColor(double red, double green, double blue) {
    return QColor::fromRgbF(float(red), float(green), float(blue), 1.0f);
}

const QColor& nightGlowColor() {
    static const QColor color = sRGBColor(0.62, 0.96, 0.80);
    return color;
}

const QColor& nightFaceColor() {
    static const QColor color = sRGBColor(0.06, 0.07, 0.08);
    return color;
}

namespace {

enum class Design { standard, serif, rounded };

// Text is laid out at this pixel size and scaled down to the wanted size, so
// numerals keep fractional sizes (8.5 points on a 100-point dial) exactly.
constexpr double kLayoutPixels = 100.0;

QFont numeralFont(QFont::Weight weight, Design design) {
    QFont font;  // the application font stands for the system font
    switch (design) {
    case Design::standard: break;
    case Design::serif:
        font.setFamilies({QStringLiteral("DejaVu Serif"), QStringLiteral("serif")});
        font.setStyleHint(QFont::Serif);
        break;
    case Design::rounded:
        // Linux ships no rounded system design; DejaVu Sans is the plain
        // sans-serif every desktop has.
        font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")});
        font.setStyleHint(QFont::SansSerif);
        break;
    }
    font.setPixelSize(int(kLayoutPixels));
    font.setWeight(weight);
    // Hinting would snap the metrics to the layout size and break the scaling.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    return font;
}

QColor whiteLevel(double level) { return sRGBColor(level, level, level); }

QPen markPen(const QColor& color, double width, Qt::PenCapStyle cap) {
    QPen pen(color, width, Qt::SolidLine, cap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

struct Shapes {
    QPainter& p;
    QPointF c;
    double s;

    double r() const { return s / 2; }

    QRectF circleRect(double radius) const { return {c.x() - radius, c.y() - radius, 2 * radius, 2 * radius}; }

    void fillCircle(double radius, const QBrush& brush) const {
        p.setPen(Qt::NoPen);
        p.setBrush(brush);
        p.drawEllipse(circleRect(radius));
    }

    void strokeCircle(double radius, const QColor& color, double width) const {
        p.setBrush(Qt::NoBrush);
        p.setPen(markPen(color, width, Qt::FlatCap));
        p.drawEllipse(circleRect(radius));
    }

    void mark(double degrees, double inner, double outer, double width, const QColor& color,
              Qt::PenCapStyle cap) const {
        p.setBrush(Qt::NoBrush);
        p.setPen(markPen(color, width, cap));
        p.drawLine(dial::polar(c, degrees, inner), dial::polar(c, degrees, outer));
    }

    void dot(double degrees, double distance, double diameter, const QColor& color) const {
        const QPointF at = dial::polar(c, degrees, distance);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(at, diameter / 2, diameter / 2);
    }

    // The text's line box is centred on the point, as an anchored label is.
    void numeral(const QString& text, double degrees, double distance, double size, const QFont& font,
                 const QColor& color) const {
        const QFontMetricsF metrics(font);
        const double width = metrics.horizontalAdvance(text);
        const QPointF at = dial::polar(c, degrees, distance);
        p.save();
        p.translate(at);
        p.scale(size / kLayoutPixels, size / kLayoutPixels);
        p.setFont(font);
        p.setPen(color);
        p.drawText(QPointF(-width / 2, (metrics.ascent() - metrics.descent()) / 2), text);
        p.restore();
    }
};

bool isHourPosition(int i) { return i % 5 == 0; }

// Four as "IIII", as dial makers write it.
constexpr std::array<const char*, 12> kRomanNumerals{"XII", "I",   "II",   "III", "IIII", "V",
                                                     "VI",  "VII", "VIII", "IX",  "X",    "XI"};

// The outline points of each roman numeral at the layout size, placed as
// `Shapes::numeral` places the text (line box centred on the origin). Curve
// control points are kept with the others: they hold the curve, so a bound
// on them bounds the ink. The same at every dial size: built once.
const std::array<std::vector<QPointF>, 12>& romanOutlines(const QFont& font) {
    static const std::array<std::vector<QPointF>, 12> outlines = [&font] {
        std::array<std::vector<QPointF>, 12> out;
        const QFontMetricsF metrics(font);
        for (std::size_t i = 0; i < kRomanNumerals.size(); ++i) {
            const QString text = QString::fromLatin1(kRomanNumerals[i]);
            QPainterPath path;
            path.addText(QPointF(-metrics.horizontalAdvance(text) / 2, (metrics.ascent() - metrics.descent()) / 2),
                         font, text);
            out[i].reserve(std::size_t(path.elementCount()));
            for (int e = 0; e < path.elementCount(); ++e) out[i].push_back(path.elementAt(e));
        }
        return out;
    }();
    return outlines;
}

}  // namespace

double romanNumeralSize(double s) {
    // Wide numerals at four and eight o'clock reach furthest out; the size
    // is the largest (up to the nominal one) at which every numeral keeps
    // the gap inside the inner ring, solved per outline point: with a its
    // anchor and p the point, |a + k p| = limit is a quadratic in k.
    const double r = s / 2;
    const double nominal = 0.078 * s;
    const double limit = 0.885 * r - romanRingWidth(s) / 2 - romanNumeralGap(s);
    const auto& outlines = romanOutlines(numeralFont(QFont::Normal, Design::serif));
    double k = nominal / kLayoutPixels;
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        const QPointF a = dial::polar(QPointF(0, 0), 30.0 * double(i), 0.72 * r);
        const double aa = QPointF::dotProduct(a, a) - limit * limit;
        if (aa >= 0) return 0;  // no room at all (a dial of a few points)
        for (const QPointF& p : outlines[i]) {
            const double pp = QPointF::dotProduct(p, p);
            if (pp <= 0) continue;
            const double ap = QPointF::dotProduct(a, p);
            k = std::min(k, (-ap + std::sqrt(ap * ap - pp * aa)) / pp);
        }
    }
    return k * kLayoutPixels;
}

double romanRingWidth(double s) { return std::max(0.003 * s, 0.8); }

double romanNumeralGap(double s) { return std::max(0.025 * s, 3.0); }

void DialPainter::draw(DialStyle style) {
    switch (style) {
    case DialStyle::classic: drawClassic(); return;
    case DialStyle::minimal: drawMinimal(); return;
    case DialStyle::roman: drawRoman(); return;
    case DialStyle::modern: drawModern(); return;
    case DialStyle::dots: drawDots(); return;
    case DialStyle::elegant: drawElegant(); return;
    case DialStyle::gradient: drawGradient(); return;
    case DialStyle::night: drawNight(); return;
    }
}

void DialPainter::drawClassic() {
    const Shapes d{ctx, center, s};
    const double r = d.r();
    d.fillCircle(r - 0.006 * s, c.face);
    d.strokeCircle(r - 0.006 * s, c.accent, std::max(0.012 * s, 1.5));
    for (int i = 0; i < 60; ++i) {
        if (isHourPosition(i))
            d.mark(6.0 * i, 0.83 * r, 0.93 * r, std::max(0.012 * s, 2.0), c.foreground, Qt::RoundCap);
        else
            d.mark(6.0 * i, 0.885 * r, 0.93 * r, std::max(0.004 * s, 1.0), c.foreground, Qt::RoundCap);
    }
    const QFont font = numeralFont(QFont::DemiBold, Design::standard);
    for (int n = 1; n <= 12; ++n) d.numeral(QString::number(n), 30.0 * n, 0.69 * r, 0.085 * s, font, c.foreground);
}

void DialPainter::drawMinimal() {
    const Shapes d{ctx, center, s};
    const double r = d.r();
    d.fillCircle(r - 0.004 * s, c.face);
    d.strokeCircle(r - 0.004 * s, withOpacity(c.foreground, 0.18), std::max(0.004 * s, 1.0));
    for (int i = 0; i < 12; ++i) {
        if (i % 3 == 0)
            d.mark(30.0 * i, 0.74 * r, 0.9 * r, std::max(0.014 * s, 1.5), c.foreground, Qt::FlatCap);
        else
            d.mark(30.0 * i, 0.8 * r, 0.9 * r, std::max(0.008 * s, 1.5), withOpacity(c.foreground, 0.7),
                   Qt::FlatCap);
    }
}

void DialPainter::drawRoman() {
    const Shapes d{ctx, center, s};
    const double r = d.r();
    d.fillCircle(r - 0.008 * s, c.face);
    d.strokeCircle(r - 0.008 * s, c.accent, std::max(0.016 * s, 2.0));
    const QColor ring = withOpacity(c.foreground, 0.5);
    const double ringWidth = romanRingWidth(s);
    d.strokeCircle(0.885 * r, ring, ringWidth);
    d.strokeCircle(0.94 * r, ring, ringWidth);
    for (int i = 0; i < 60; ++i) {
        if (isHourPosition(i))
            d.mark(6.0 * i, 0.885 * r, 0.94 * r, std::max(0.008 * s, 1.5), c.foreground, Qt::FlatCap);
        else
            d.mark(6.0 * i, 0.885 * r, 0.915 * r, std::max(0.003 * s, 0.8), c.foreground, Qt::FlatCap);
    }
    const QFont font = numeralFont(QFont::Normal, Design::serif);
    const double size = romanNumeralSize(s);
    if (size <= 0) return;
    for (int i = 0; i < 12; ++i)
        d.numeral(QString::fromLatin1(kRomanNumerals[std::size_t(i)]), 30.0 * i, 0.72 * r, size, font, c.foreground);
}

void DialPainter::drawModern() {
    const Shapes d{ctx, center, s};
    const double r = d.r();
    d.fillCircle(r - 0.012 * s, c.face);
    d.strokeCircle(r - 0.012 * s, c.accent, std::max(0.024 * s, 3.0));
    const QFont font = numeralFont(QFont::ExtraBold, Design::rounded);
    const QColor dotColor = withOpacity(c.foreground, 0.8);
    for (int i = 0; i < 12; ++i) {
        if (i % 3 == 0)
            d.numeral(QString::number(i == 0 ? 12 : i), 30.0 * i, 0.72 * r, 0.16 * s, font, c.foreground);
        else
            d.dot(30.0 * i, 0.78 * r, 0.035 * s, dotColor);
    }
}

void DialPainter::drawDots() {
    const Shapes d{ctx, center, s};
    const double r = d.r();
    d.fillCircle(r - 0.004 * s, c.face);
    const QColor minor = withOpacity(c.foreground, 0.55);
    for (int i = 0; i < 60; ++i) {
        if (isHourPosition(i))
            d.dot(6.0 * i, 0.86 * r, 0.042 * s, c.accent);
        else
            d.dot(6.0 * i, 0.86 * r, 0.014 * s, minor);
    }
    const QFont font = numeralFont(QFont::Medium, Design::rounded);
    const QColor text = withOpacity(c.foreground, 0.8);
    for (int n : {3, 6, 9, 12}) d.numeral(QString::number(n), 30.0 * n, 0.67 * r, 0.07 * s, font, text);
}

void DialPainter::drawElegant() {
    const Shapes d{ctx, center, s};
    const double r = d.r();
    const double disc = r - 0.004 * s;
    d.fillCircle(disc, c.face);
    QRadialGradient light(center, r);
    light.setColorAt(0.0, withOpacity(Qt::white, 0.16));
    light.setColorAt(0.5, QColor(0, 0, 0, 0));
    light.setColorAt(1.0, withOpacity(Qt::black, 0.1));
    d.fillCircle(disc, light);
    d.strokeCircle(disc, withOpacity(c.foreground, 0.7), std::max(0.003 * s, 0.8));
    d.strokeCircle(0.955 * r, withOpacity(c.foreground, 0.35), std::max(0.002 * s, 0.6));
    const QColor minute = withOpacity(c.foreground, 0.6);
    for (int i = 0; i < 60; ++i) {
        if (!isHourPosition(i)) d.mark(6.0 * i, 0.9 * r, 0.935 * r, std::max(0.002 * s, 0.6), minute, Qt::RoundCap);
    }
    d.mark(0, 0.71 * r, 0.93 * r, std::max(0.018 * s, 1.5), c.accent, Qt::FlatCap);
    for (int i = 1; i < 12; ++i) d.mark(30.0 * i, 0.79 * r, 0.93 * r, std::max(0.011 * s, 1.5), c.accent, Qt::FlatCap);
    d.numeral(QStringLiteral("XII"), 0, 0.58 * r, 0.05 * s, numeralFont(QFont::Light, Design::serif),
              withOpacity(c.foreground, 0.8));
}

void DialPainter::drawGradient() {
    const Shapes d{ctx, center, s};
    const double r = d.r();
    QLinearGradient fill(QPointF(center.x() - r, center.y() - r), QPointF(center.x() + r, center.y() + r));
    fill.setColorAt(0.0, c.accent);
    fill.setColorAt(1.0, c.secondHand);
    d.fillCircle(r - 0.004 * s, fill);
    const QColor hour = withOpacity(Qt::white, 0.95);
    const QColor minute = withOpacity(Qt::white, 0.6);
    for (int i = 0; i < 60; ++i) {
        if (isHourPosition(i))
            d.mark(6.0 * i, 0.8 * r, 0.92 * r, std::max(0.014 * s, 2.0), hour, Qt::RoundCap);
        else
            d.mark(6.0 * i, 0.87 * r, 0.92 * r, std::max(0.004 * s, 1.0), minute, Qt::RoundCap);
    }
    const QFont font = numeralFont(QFont::Bold, Design::rounded);
    for (int n : {12, 3, 6, 9}) d.numeral(QString::number(n), 30.0 * n, 0.64 * r, 0.1 * s, font, Qt::white);
}

void DialPainter::drawNight() {
    const Shapes d{ctx, center, s};
    const double r = d.r();
    d.fillCircle(r - 0.01 * s, nightFaceColor());
    d.strokeCircle(r - 0.01 * s, whiteLevel(0.35), std::max(0.02 * s, 2.0));

    const QColor minor = whiteLevel(0.6);
    for (int i = 0; i < 60; ++i) {
        if (!isHourPosition(i)) d.mark(6.0 * i, 0.88 * r, 0.91 * r, std::max(0.004 * s, 1.0), minor, Qt::RoundCap);
    }

    const QFont font = numeralFont(QFont::Bold, Design::rounded);
    const double hourWidth = std::max(0.022 * s, 2.0);
    const QString twelve = QStringLiteral("12");
    const QString format = tr("%1");
    std::array<QString, 4> numerals{format.arg(3), format.arg(6), format.arg(9), twelve};
    // The glowing elements, drawn once into the glow layer and once sharp on top.
    auto glowing = [&](QPainter& p) {
        const Shapes g{p, center, s};
        for (int i = 0; i < 60; i += 5) g.mark(6.0 * i, 0.8 * r, 0.91 * r, hourWidth, nightGlowColor(), Qt::RoundCap);
        for (int k = 0; k < 4; ++k)
            g.numeral(numerals[std::size_t(k)], 90.0 * (k + 1), 0.64 * r, 0.11 * s, font, nightGlowColor());
    };
    drawGlow(ctx, QRectF(center.x() - r, center.y() - r, s, s), 0.012 * s, withOpacity(nightGlowColor(), 0.8),
             glowing);
    glowing(ctx);
}

}  // namespace corvane
