#include "model/Rgb.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace corvane {

namespace {

int hexDigit(char32_t c) {
    if (c >= U'0' && c <= U'9') return int(c - U'0');
    if (c >= U'a' && c <= U'f') return int(c - U'a') + 10;
    if (c >= U'A' && c <= U'F') return int(c - U'A') + 10;
    return -1;
}

// Parses what is left after trimming: leading '#' run, then 3 or 6 digits.
template <typename Unit>
std::optional<RGB> parseTrimmed(const Unit* p, std::size_t n) {
    std::size_t i = 0;
    while (i < n && p[i] == Unit('#')) ++i;
    p += i;
    n -= i;
    if (n != 3 && n != 6) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const int d = hexDigit(char32_t(p[k]));
        if (d < 0) return std::nullopt;
        value = (value << 4) | std::uint32_t(d);
        if (n == 3) value = (value << 4) | std::uint32_t(d);
    }
    return RGB{std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)};
}

bool isAsciiSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Linear-light value of each 8-bit channel, so luminance is three look-ups.
const std::array<double, 256>& linearTable() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double v = double(i) / 255.0;
            t[std::size_t(i)] = v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table;
}

std::uint8_t mixChannel(std::uint8_t a, std::uint8_t b, double t) {
    const double x = double(a) + t * (double(b) - double(a));
    if (std::isnan(x)) return a;
    const double clamped = std::clamp(x, 0.0, 255.0);
    // Halves go to the even neighbour, independent of the FPU rounding mode.
    double r = std::floor(clamped);
    const double frac = clamped - r;
    if (frac > 0.5 || (frac == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
    return std::uint8_t(std::min(r, 255.0));
}

}  // namespace

std::optional<RGB> RGB::fromHex(QStringView text) {
    const QStringView t = text.trimmed();
    return parseTrimmed(reinterpret_cast<const char16_t*>(t.utf16()), std::size_t(t.size()));
}

std::optional<RGB> RGB::fromHex(std::string_view utf8) {
    const bool ascii =
        std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) {
        // Unicode blanks (no-break space, line separator, ...) are trimmed too.
        const QString s = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        return fromHex(QStringView(s));
    }
    std::size_t begin = 0;
    std::size_t end = utf8.size();
    while (begin < end && isAsciiSpace(utf8[begin])) ++begin;
    while (end > begin && isAsciiSpace(utf8[end - 1])) --end;
    return parseTrimmed(utf8.data() + begin, end - begin);
}

QString RGB::hexString() const {
    return QString::fromLatin1(hexStdString());
}

std::string RGB::hexStdString() const {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string s(7, '#');
    s[1] = digits[r >> 4];
    s[2] = digits[r & 15];
    s[3] = digits[g >> 4];
    s[4] = digits[g & 15];
    s[5] = digits[b >> 4];
    s[6] = digits[b & 15];
    return s;
}

double RGB::luminance() const {
    const auto& lin = linearTable();
    return 0.2126 * lin[r] + 0.7152 * lin[g] + 0.0722 * lin[b];
}

RGB RGB::mix(RGB a, RGB b, double t) {
    return RGB{mixChannel(a.r, b.r, t), mixChannel(a.g, b.g, t), mixChannel(a.b, b.b, t)};
}

QColor RGB::toQColor(double opacity) const {
    QColor c = QColor::fromRgb(r, g, b);
    c.setAlphaF(float(std::clamp(std::isnan(opacity) ? 1.0 : opacity, 0.0, 1.0)));
    return c;
}

}  // namespace corvane
