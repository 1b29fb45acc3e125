#pragma once

#include <QColor>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// An 8-bit sRGB colour. Every colour of the program is one of these; colour
// texts are stored as the user typed them and parsed with fromHex where used.
struct RGB {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend constexpr bool operator==(const RGB&, const RGB&) = default;

    // The one parser of colour texts: blanks and line breaks around the text
    // and any number of leading '#' are dropped; three digits stand for six
    // ("1AF" = "11AAFF"); then exactly six hexadecimal digits must remain.
    // Parsing allocates nothing for ASCII input.
    static std::optional<RGB> fromHex(QStringView text);
    static std::optional<RGB> fromHex(const QString& text) { return fromHex(QStringView(text)); }
    static std::optional<RGB> fromHex(std::string_view utf8);
    static std::optional<RGB> fromHex(const std::string& utf8) { return fromHex(std::string_view(utf8)); }
    static std::optional<RGB> fromHex(const char* utf8) {
        return fromHex(std::string_view(utf8 ? utf8 : ""));
    }

    // "#RRGGBB" with upper-case digits.
    QString hexString() const;
    std::string hexStdString() const;

    // WCAG 2.0 relative luminance, 0 (black) to 1 (white).
    double luminance() const;

    // Channel by channel a + t * (b - a), rounded half to even, clamped to
    // 0...255. A t that is not a number leaves a unchanged.
    static RGB mix(RGB a, RGB b, double t);

    // As a colour of the view toolkit: sRGB, each channel / 255.
    QColor toQColor(double opacity = 1.0) const;
};

}  // namespace corvane

template <>
struct std::hash<corvane::RGB> {
    std::size_t operator()(const corvane::RGB& c) const noexcept {
        return (std::size_t(c.r) << 16) | (std::size_t(c.g) << 8) | std::size_t(c.b);
    }
};
