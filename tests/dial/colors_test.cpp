#include <gtest/gtest.h>

#include "dial/AnalogClock.h"
#include "dial/DialColors.h"

using namespace corvane;

namespace {

const ThemeColors& darkPalette() { return ThemeColors::defaultPalette(); }

ThemeColors lightPalette() { return ThemeColors::make(ThemeMode::light, std::nullopt, true, 1.0); }

QColor rgb(int r, int g, int b) { return QColor(r, g, b); }

}  // namespace

TEST(DialColors, OwnFaceColourChoosesTextByContrast) {
    struct Case {
        RGB face;
        int grey;
    } cases[] = {
        {{255, 255, 255}, 26},
        {{0, 0, 0}, 244},
        // The white/black contrasts cross between grey 117 and 118: the darker
        // one keeps white text, the lighter one takes dark text.
        {{117, 117, 117}, 244},
        {{118, 118, 118}, 26},
        {{31, 58, 95}, 244},
        {{255, 220, 120}, 26},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.face.hexString().toStdString());
        const DialColors colors = DialColors::forFace(darkPalette(), std::nullopt, c.face);
        EXPECT_EQ(colors.face, c.face.toQColor());
        EXPECT_EQ(colors.foreground, rgb(c.grey, c.grey, c.grey));
        EXPECT_EQ(colors.background, darkPalette().background.toQColor());
    }
}

TEST(DialColors, AccentKeptOnlyWithEnoughContrastAgainstTheOwnFace) {
    // Find the two neighbouring greys where the accent's contrast crosses 2.5,
    // so the boundary itself is checked on both sides.
    const ThemeColors palette = darkPalette();
    int below = -1;
    for (int g = 0; g < 255; ++g) {
        const RGB a{std::uint8_t(g), std::uint8_t(g), std::uint8_t(g)};
        const RGB b{std::uint8_t(g + 1), std::uint8_t(g + 1), std::uint8_t(g + 1)};
        if (ThemeColors::contrastRatio(palette.accent, a) >= 2.5 && ThemeColors::contrastRatio(palette.accent, b) < 2.5) {
            below = g;
            break;
        }
    }
    ASSERT_GE(below, 0);
    const RGB keeps{std::uint8_t(below), std::uint8_t(below), std::uint8_t(below)};
    const RGB loses{std::uint8_t(below + 1), std::uint8_t(below + 1), std::uint8_t(below + 1)};
    EXPECT_EQ(DialColors::forFace(palette, std::nullopt, keeps).accent, palette.accent.toQColor());
    const DialColors replaced = DialColors::forFace(palette, std::nullopt, loses);
    EXPECT_EQ(replaced.accent, replaced.foreground);
}

TEST(DialColors, SecondHandPrefersThePalettesRedThenTheFacesSide) {
    struct Case {
        const char* what;
        ThemeColors palette;
        RGB face;
        QColor expected;
    } cases[] = {
        {"dark palette, white face: the palette's red", darkPalette(), {255, 255, 255}, rgb(255, 107, 90)},
        {"light palette, black face: the palette's deep red", lightPalette(), {0, 0, 0}, rgb(196, 43, 28)},
        // The palette's red vanishes on a face of the same red; the face is
        // light (dark text), so deep red.
        {"dark palette, red face", darkPalette(), {255, 107, 90}, rgb(196, 43, 28)},
        // Neither red reaches 2.2 on this face; white text wins, so red.
        {"red face", lightPalette(), {200, 50, 40}, rgb(255, 107, 90)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DialColors::forFace(c.palette, std::nullopt, c.face).secondHand, c.expected);
    }
}

TEST(DialColors, WithoutOwnFaceThePaletteApplies) {
    const DialColors dark = DialColors::forFace(darkPalette(), std::nullopt, std::nullopt);
    EXPECT_EQ(dark.face, darkPalette().surface.toQColor());
    EXPECT_EQ(dark.foreground, darkPalette().foreground.toQColor());
    EXPECT_EQ(dark.accent, darkPalette().accent.toQColor());
    EXPECT_EQ(dark.secondHand, rgb(255, 107, 90));
    const DialColors light = DialColors::forFace(lightPalette(), QColor(10, 20, 30), std::nullopt);
    EXPECT_EQ(light.face, rgb(10, 20, 30));
    EXPECT_EQ(light.secondHand, rgb(196, 43, 28));
    // An own RGB face wins over a directly given colour.
    EXPECT_EQ(DialColors::forFace(lightPalette(), QColor(10, 20, 30), RGB{1, 2, 3}).face, rgb(1, 2, 3));
}

TEST(AnalogClockLayers, HandColoursAndProportionsFollowStyleAndImage) {
    QImage image(8, 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::red);
    struct Case {
        const char* what;
        DialStyle style;
        bool withImage;
        DialStyle handStyle;
        QColor hand, secondHand, outline;
    } cases[] = {
        {"classic", DialStyle::classic, false, DialStyle::classic, rgb(242, 242, 242), rgb(255, 107, 90), rgb(32, 32, 32)},
        {"night", DialStyle::night, false, DialStyle::night, nightGlowColor(), rgb(255, 107, 90), Qt::black},
        {"gradient", DialStyle::gradient, false, DialStyle::gradient, Qt::white, Qt::white, Qt::black},
        // An own image gives classic hands in the face colours, whatever the style.
        {"night with image", DialStyle::night, true, DialStyle::classic, rgb(242, 242, 242), rgb(255, 107, 90),
         rgb(32, 32, 32)},
        {"gradient with image", DialStyle::gradient, true, DialStyle::classic, rgb(242, 242, 242), rgb(255, 107, 90),
         rgb(32, 32, 32)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AnalogClock clock;
        clock.style = c.style;
        if (c.withImage) clock.image = image;
        const AnalogClock::Layers layers = clock.content();
        EXPECT_EQ(layers.face.style, c.style);
        EXPECT_EQ(layers.hands.style, c.handStyle);
        EXPECT_EQ(layers.hands.hand, c.hand);
        EXPECT_EQ(layers.hands.secondHand, c.secondHand);
        EXPECT_EQ(layers.hands.outline, c.outline);
    }
}

TEST(DialColors, ColourConstantsAreOpaqueSrgb) {
    EXPECT_EQ(nightGlowColor(), QColor::fromRgbF(0.62f, 0.96f, 0.80f));
    EXPECT_EQ(nightFaceColor(), QColor::fromRgbF(0.06f, 0.07f, 0.08f));
    EXPECT_EQ(nightGlowColor().alpha(), 255);
    EXPECT_EQ(&nightGlowColor(), &nightGlowColor());
}
