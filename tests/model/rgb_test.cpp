#include "model/Rgb.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

using corvane::RGB;

namespace {

struct HexCase {
    const char* text;
    std::optional<RGB> expected;
};

const HexCase kHexCases[] = {
    {"#1F3A5F", RGB{31, 58, 95}},
    {"#1f3a5f", RGB{31, 58, 95}},
    {"1F3A5F", RGB{31, 58, 95}},
    {"##1F3A5F", RGB{31, 58, 95}},
    {"  #1F3A5F\n", RGB{31, 58, 95}},
    {"\t1F3A5F \r\n", RGB{31, 58, 95}},
    {"1AF", RGB{17, 170, 255}},
    {"#1af", RGB{17, 170, 255}},
    {"#000000", RGB{0, 0, 0}},
    {"#FFFFFF", RGB{255, 255, 255}},
    // Unicode blanks around the text are trimmed like ASCII ones.
    {"\xC2\xA0#1F3A5F\xE2\x80\xA8", RGB{31, 58, 95}},
    {"#1F3A5", std::nullopt},    // five digits
    {"#1F3A5F0", std::nullopt},  // seven digits
    {"#1AF0", std::nullopt},     // four digits
    {"#1G3A5F", std::nullopt},   // not all hexadecimal
    {"0x1F3A", std::nullopt},
    {"", std::nullopt},
    {"#", std::nullopt},
    {"###", std::nullopt},
    {"   ", std::nullopt},
    {"# 1F3A5F", std::nullopt},  // the blank is inside, not around
    {"1F 3A5F", std::nullopt},
    {"#1F3A5F#", std::nullopt},
    {"+1F3A5F", std::nullopt},
    // Full-width digits are digits to Unicode but not hexadecimal digits here.
    {"\xEF\xBC\x91\xEF\xBC\x91\xEF\xBC\x91", std::nullopt},
};

}  // namespace

TEST(RgbFromHex, AcceptsAndRejectsAsTheOneColourParser) {
    for (const auto& c : kHexCases) {
        SCOPED_TRACE(std::string("input: \"") + c.text + "\"");
        // The UTF-8 and the QString paths must agree on every input.
        EXPECT_EQ(RGB::fromHex(std::string_view(c.text)), c.expected);
        EXPECT_EQ(RGB::fromHex(QString::fromUtf8(c.text)), c.expected);
    }
}

TEST(RgbFromHex, EmbeddedNulIsNotABlank) {
    const std::string withNul("1F3A5F\0", 7);
    EXPECT_EQ(RGB::fromHex(std::string_view(withNul)), std::nullopt);
    EXPECT_EQ(RGB::fromHex(static_cast<const char*>(nullptr)), std::nullopt);
}

TEST(RgbHex, RoundTripsEveryChannelValueWithUpperCaseDigits) {
    EXPECT_EQ(RGB(31, 58, 95).hexString(), QStringLiteral("#1F3A5F"));
    EXPECT_EQ(RGB(0, 10, 255).hexStdString(), "#000AFF");
    for (int v = 0; v < 256; ++v) {
        const RGB c{std::uint8_t(v), std::uint8_t(255 - v), std::uint8_t(v ^ 0x5A)};
        EXPECT_EQ(RGB::fromHex(c.hexString()), c) << v;
        EXPECT_EQ(c.hexString(), QString::asprintf("#%02X%02X%02X", c.r, c.g, c.b));
    }
}

TEST(RgbLuminance, MatchesWcagFigures) {
    EXPECT_DOUBLE_EQ(RGB(0, 0, 0).luminance(), 0.0);
    EXPECT_NEAR(RGB(255, 255, 255).luminance(), 1.0, 1e-12);
    EXPECT_NEAR(RGB(255, 0, 0).luminance(), 0.2126, 1e-12);
    EXPECT_NEAR(RGB(0, 255, 0).luminance(), 0.7152, 1e-12);
    EXPECT_NEAR(RGB(0, 0, 255).luminance(), 0.0722, 1e-12);
    // Mid grey 0x80 is about 21.6 % linear light.
    EXPECT_NEAR(RGB(128, 128, 128).luminance(), 0.2158605, 1e-6);
    // 10/255 lies below the 0.03928 knee, 11/255 above it.
    EXPECT_NEAR(RGB(10, 10, 10).luminance(), (10.0 / 255.0) / 12.92, 1e-15);
    EXPECT_NEAR(RGB(11, 11, 11).luminance(), std::pow((11.0 / 255.0 + 0.055) / 1.055, 2.4), 1e-15);
}

TEST(RgbMix, RoundsHalvesToEvenAndClamps) {
    struct Case {
        RGB a, b;
        double t;
        RGB expected;
    };
    const Case cases[] = {
        {{0, 0, 0}, {255, 255, 255}, 0.5, {128, 128, 128}},  // 127.5 -> 128
        {{0, 0, 0}, {1, 1, 1}, 0.5, {0, 0, 0}},              // 0.5 -> 0
        {{0, 0, 0}, {3, 3, 3}, 0.5, {2, 2, 2}},              // 1.5 -> 2
        {{10, 20, 30}, {200, 100, 0}, 0.0, {10, 20, 30}},
        {{10, 20, 30}, {200, 100, 0}, 1.0, {200, 100, 0}},
        {{32, 32, 32}, {242, 242, 242}, 0.06, {45, 45, 45}},  // 44.6
        {{100, 100, 100}, {200, 200, 200}, 2.0, {255, 255, 255}},
        {{100, 100, 100}, {200, 200, 200}, -2.0, {0, 0, 0}},
        {{100, 100, 100}, {200, 200, 200}, INFINITY, {255, 255, 255}},
        {{100, 100, 100}, {100, 100, 100}, INFINITY, {100, 100, 100}},  // inf * 0
        {{100, 100, 100}, {200, 200, 200}, NAN, {100, 100, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.t);
        EXPECT_EQ(RGB::mix(c.a, c.b, c.t), c.expected);
    }
}

TEST(RgbToQColor, IsSrgbWithFullOpacity) {
    const QColor c = RGB(31, 58, 95).toQColor();
    // Plain 8-bit sRGB, not an extended or converted colour model.
    EXPECT_EQ(c, QColor::fromRgb(31, 58, 95));
    EXPECT_EQ(c.toRgb(), c);
    EXPECT_EQ(c.red(), 31);
    EXPECT_EQ(c.green(), 58);
    EXPECT_EQ(c.blue(), 95);
    EXPECT_EQ(c.alpha(), 255);
    EXPECT_EQ(RGB(1, 2, 3).toQColor(0.5).alpha(), 128);
}
