#include "model/Theme.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>

using corvane::AppSettings;
using corvane::RGB;
using corvane::ThemeColors;
using corvane::ThemeMode;

namespace {

AppSettings settingsWith(ThemeMode theme, bool useCustom = false, const char* custom = "#1F3A5F") {
    AppSettings s = AppSettings::defaults();
    s.theme = theme;
    s.useCustomBackground = useCustom;
    s.customBackgroundColor = QString::fromUtf8(custom);
    return s;
}

// The three reference palettes without an own colour.
const ThemeColors kDarkPalette{
    {32, 32, 32},    {45, 45, 45},    {53, 53, 53},   {68, 68, 68}, {82, 82, 82},
    {242, 242, 242}, {179, 179, 179}, {76, 194, 255}, {0, 0, 0},    true,
};
const ThemeColors kLightPalette{
    {243, 243, 243}, {230, 230, 230}, {221, 221, 221}, {206, 206, 206}, {191, 191, 191},
    {26, 26, 26},    {91, 91, 91},    {0, 95, 184},    {255, 255, 255}, false,
};
const ThemeColors kDuskNightPalette{
    {18, 18, 20},    {28, 28, 30},    {34, 34, 36},   {46, 46, 48}, {57, 57, 59},
    {180, 180, 184}, {131, 131, 135}, {76, 194, 255}, {0, 0, 0},    true,
};

std::string describe(const ThemeColors& p) {
    std::string s;
    for (RGB c : {p.background, p.surface, p.control, p.controlHover, p.border, p.foreground,
                  p.secondaryForeground, p.accent, p.accentForeground})
        s += c.hexStdString() + ' ';
    return s + (p.isDark ? "dark" : "light");
}

}  // namespace

TEST(ThemeContrast, MatchesWcagFigures) {
    const RGB black{0, 0, 0}, white{255, 255, 255};
    EXPECT_DOUBLE_EQ(ThemeColors::contrastRatio(black, white), 21.0);
    EXPECT_DOUBLE_EQ(ThemeColors::contrastRatio(white, black), 21.0);
    EXPECT_DOUBLE_EQ(ThemeColors::contrastRatio(RGB{12, 34, 56}, RGB{12, 34, 56}), 1.0);
    // #767676 is the lightest grey that passes 4.5:1 on white; #777777 fails.
    EXPECT_NEAR(ThemeColors::contrastRatio(RGB{118, 118, 118}, white), 4.54, 0.005);
    EXPECT_NEAR(ThemeColors::contrastRatio(RGB{119, 119, 119}, white), 4.48, 0.005);
    EXPECT_NEAR(ThemeColors::contrastRatio(RGB{255, 0, 0}, white), 4.00, 0.005);
    EXPECT_NEAR(ThemeColors::contrastRatio(RGB{0, 0, 255}, white), 8.59, 0.005);
}

TEST(ThemeEnsureContrast, KeepsStepsOrFallsBackToTarget) {
    const RGB white{255, 255, 255}, black{0, 0, 0};
    // Already enough: unchanged, even with a target given.
    EXPECT_EQ(ThemeColors::ensureContrast(black, white, RGB{128, 0, 0}, 4.5), black);
    // Unreachable minimum: the target, given or chosen.
    EXPECT_EQ(ThemeColors::ensureContrast(RGB{200, 200, 200}, white, RGB{90, 10, 10}, 30.0),
              (RGB{90, 10, 10}));
    EXPECT_EQ(ThemeColors::ensureContrast(RGB{200, 200, 200}, white, std::nullopt, 30.0), black);
    EXPECT_EQ(ThemeColors::ensureContrast(RGB{60, 60, 60}, RGB{20, 20, 20}, std::nullopt, 30.0), white);
    // The first step that reaches the minimum: grey 200 on white moves toward
    // black; 0.1 -> 180 (1.9:1) ... 0.4 -> 120 (4.4:1), 0.5 -> 100 (5.9:1).
    EXPECT_EQ(ThemeColors::ensureContrast(RGB{200, 200, 200}, white, std::nullopt, 4.5),
              (RGB{100, 100, 100}));
    // The automatic target follows the luminance of `against` (0.18 boundary).
    EXPECT_EQ(ThemeColors::ensureContrast(RGB{119, 119, 119}, RGB{119, 119, 119}, std::nullopt, 21.0), black);
    EXPECT_EQ(ThemeColors::ensureContrast(RGB{117, 117, 117}, RGB{117, 117, 117}, std::nullopt, 21.0), white);
}

TEST(ThemeMake, ReferencePalettesForEveryTheme) {
    struct Case {
        const char* name;
        ThemeMode theme;
        bool systemIsLight;
        double t;
        const ThemeColors* expected;
    };
    const Case cases[] = {
        {"dark", ThemeMode::dark, true, 0.3, &kDarkPalette},
        {"light", ThemeMode::light, false, 0.3, &kLightPalette},
        {"system dark", ThemeMode::system, false, 0.0, &kDarkPalette},
        {"system light", ThemeMode::system, true, 0.0, &kLightPalette},
        {"dusk day", ThemeMode::dusk, false, 1.0, &kLightPalette},
        {"dusk night", ThemeMode::dusk, true, 0.0, &kDuskNightPalette},
        // Out-of-range blends are clamped; a blend that is not a number counts as day.
        {"dusk below 0", ThemeMode::dusk, true, -3.0, &kDuskNightPalette},
        {"dusk above 1", ThemeMode::dusk, true, 7.0, &kLightPalette},
        {"dusk -inf", ThemeMode::dusk, true, -std::numeric_limits<double>::infinity(), &kDuskNightPalette},
        {"dusk NaN", ThemeMode::dusk, true, std::numeric_limits<double>::quiet_NaN(), &kLightPalette},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ThemeColors p = ThemeColors::make(settingsWith(c.theme), c.systemIsLight, c.t);
        EXPECT_EQ(p, *c.expected) << describe(p);
    }
}

TEST(ThemeMake, DuskBetweenNightAndDay) {
    const ThemeColors half = ThemeColors::make(settingsWith(ThemeMode::dusk), true, 0.5);
    EXPECT_EQ(half.background, (RGB{130, 130, 132}));
    EXPECT_FALSE(half.isDark);
    EXPECT_EQ(half.foreground, (RGB{26, 26, 26}));
    // The light accent is too weak on mid grey, so the text colour stands in.
    EXPECT_EQ(half.accent, half.foreground);
    EXPECT_EQ(half.accentForeground, (RGB{255, 255, 255}));

    // Every blend keeps the palette's promises.
    for (int i = 0; i <= 100; ++i) {
        const double t = i / 100.0;
        SCOPED_TRACE(t);
        const ThemeColors p = ThemeColors::make(settingsWith(ThemeMode::dusk), true, t);
        EXPECT_GE(ThemeColors::contrastRatio(p.foreground, p.background), 4.5);
        EXPECT_GE(ThemeColors::contrastRatio(p.accent, p.background), 2.5);
        EXPECT_GE(ThemeColors::contrastRatio(p.secondaryForeground, p.background), 3.5);
        EXPECT_GE(ThemeColors::contrastRatio(p.surface, p.foreground), 4.5);
        EXPECT_GE(ThemeColors::contrastRatio(p.control, p.foreground), 4.5);
        EXPECT_GE(ThemeColors::contrastRatio(p.controlHover, p.foreground), 4.5);
    }
}

TEST(ThemeMake, OwnBackgroundColour) {
    // A dark own colour gives light text whatever the theme says.
    for (ThemeMode theme : {ThemeMode::dark, ThemeMode::light, ThemeMode::system}) {
        SCOPED_TRACE(int(theme));
        const ThemeColors p = ThemeColors::make(settingsWith(theme, true, "  #1F3A5F "), true, 1.0);
        EXPECT_EQ(p.background, (RGB{31, 58, 95}));
        EXPECT_TRUE(p.isDark);
        EXPECT_EQ(p.foreground, (RGB{242, 242, 242}));
    }
    // Dusk runs from 22 % of the own colour at night to the full colour by day.
    EXPECT_EQ(ThemeColors::make(settingsWith(ThemeMode::dusk, true), true, 0.0).background, (RGB{7, 13, 21}));
    EXPECT_EQ(ThemeColors::make(settingsWith(ThemeMode::dusk, true), true, 1.0).background,
              (RGB{31, 58, 95}));
    // A light own colour on the dark theme gives a light palette.
    const ThemeColors pale = ThemeColors::make(settingsWith(ThemeMode::dark, true, "#FFEEDD"), false, 1.0);
    EXPECT_EQ(pale.background, (RGB{255, 238, 221}));
    EXPECT_FALSE(pale.isDark);

    // The own colour counts only when switched on and parseable.
    EXPECT_EQ(ThemeColors::make(settingsWith(ThemeMode::dark, false), true, 1.0), kDarkPalette);
    EXPECT_EQ(ThemeColors::make(settingsWith(ThemeMode::light, true, "#12345"), true, 1.0), kLightPalette);
}

TEST(ThemeMake, TextFallsBackToPureWhiteOrBlackWhenTooWeak) {
    // Greys 117 and 118 sit on either side of the light/dark tie; the usual
    // text colours reach only about 4:1 there, so pure white or black takes
    // over while isDark keeps the side chosen.
    const ThemeColors p = ThemeColors::make(ThemeMode::dark, RGB{117, 117, 117}, true, 1.0);
    EXPECT_TRUE(p.isDark);
    EXPECT_EQ(p.foreground, (RGB{255, 255, 255}));
    const ThemeColors q = ThemeColors::make(ThemeMode::dark, RGB{118, 118, 118}, true, 1.0);
    EXPECT_FALSE(q.isDark);
    EXPECT_EQ(q.foreground, (RGB{0, 0, 0}));
    // Grey 111: 242 misses 4.5:1 by a hair (4.49).
    EXPECT_EQ(ThemeColors::make(ThemeMode::dark, RGB{111, 111, 111}, true, 1.0).foreground,
              (RGB{255, 255, 255}));
    EXPECT_EQ(ThemeColors::make(ThemeMode::dark, RGB{110, 110, 110}, true, 1.0).foreground,
              (RGB{242, 242, 242}));
}

TEST(ThemeMake, DefaultPaletteIsTheDarkSystemPalette) {
    EXPECT_EQ(ThemeColors::defaultPalette(), kDarkPalette);
    EXPECT_EQ(&ThemeColors::defaultPalette(), &ThemeColors::defaultPalette());
}

TEST(ThemeJson, RoundTripsAndFallsBackColourByColour) {
    const nlohmann::ordered_json j = corvane::toJson(kLightPalette);
    EXPECT_EQ(j.dump(),
              R"({"background":"#F3F3F3","surface":"#E6E6E6","control":"#DDDDDD","controlHover":"#CECECE",)"
              R"("border":"#BFBFBF","foreground":"#1A1A1A","secondaryForeground":"#5B5B5B",)"
              R"("accent":"#005FB8","accentForeground":"#FFFFFF","isDark":false})");
    EXPECT_EQ(corvane::themeColorsFromJson(j), kLightPalette);

    // Colours that do not parse, are missing or are no text take the plain
    // palette of the same brightness: never black text on a black background.
    for (const bool dark : {false, true}) {
        const ThemeColors plain =
            ThemeColors::make(dark ? ThemeMode::dark : ThemeMode::light, std::nullopt, true, 1.0);
        for (const nlohmann::ordered_json& bad :
             {nlohmann::ordered_json("purple"), nlohmann::ordered_json(16777215), nlohmann::ordered_json(nullptr),
              nlohmann::ordered_json::array({"#FFFFFF"}), nlohmann::ordered_json::object()}) {
            nlohmann::ordered_json badColours = j;
            for (auto& [key, value] : badColours.items())
                if (value.is_string()) value = bad;
            badColours["isDark"] = dark;
            const auto read = corvane::themeColorsFromJson(badColours);
            ASSERT_TRUE(read.has_value()) << bad.dump();
            EXPECT_EQ(*read, plain) << bad.dump();
            EXPECT_GE(ThemeColors::contrastRatio(read->foreground, read->background), 4.5);
        }
    }
    nlohmann::ordered_json noBorder = j;
    noBorder.erase("border");
    ThemeColors withoutBorder = kLightPalette;
    withoutBorder.border = ThemeColors::make(ThemeMode::light, std::nullopt, true, 1.0).border;
    EXPECT_EQ(corvane::themeColorsFromJson(noBorder), withoutBorder);

    // Without a usable flag the background decides, as it does when a
    // palette is made; with no background either, the default palette's.
    const struct {
        RGB background;
        std::optional<nlohmann::ordered_json> flag;  // absent: no key
        bool dark;
    } flags[] = {
        {RGB{243, 243, 243}, std::nullopt, false},
        {RGB{243, 243, 243}, nlohmann::ordered_json(1), false},
        {RGB{32, 32, 32}, nlohmann::ordered_json("true"), true},
        {RGB{31, 58, 95}, nlohmann::ordered_json(nullptr), true},
    };
    for (const auto& f : flags) {
        nlohmann::ordered_json flagged = j;
        flagged["background"] = f.background.hexStdString();
        if (f.flag)
            flagged["isDark"] = *f.flag;
        else
            flagged.erase("isDark");
        const auto read = corvane::themeColorsFromJson(flagged);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->isDark, f.dark) << f.background.hexStdString();
        EXPECT_EQ(read->background, f.background);
    }
    nlohmann::ordered_json nothingUsable = nlohmann::ordered_json::object({{"isDark", 0}, {"background", 5}});
    EXPECT_EQ(corvane::themeColorsFromJson(nothingUsable), kDarkPalette);

    EXPECT_EQ(corvane::themeColorsFromJson(nlohmann::ordered_json::array()), std::nullopt);
    EXPECT_EQ(corvane::themeColorsFromJson(nlohmann::ordered_json("#FFFFFF")), std::nullopt);
}
