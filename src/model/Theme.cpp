#include "model/Theme.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <string>

namespace corvane {

namespace {

constexpr RGB kBlack{0, 0, 0};
constexpr RGB kWhite{255, 255, 255};
constexpr RGB kDarkBackground{32, 32, 32};
constexpr RGB kLightBackground{243, 243, 243};
constexpr RGB kDuskNight{18, 18, 20};
constexpr RGB kLightText{242, 242, 242};
constexpr RGB kDarkText{26, 26, 26};
constexpr RGB kDuskNightText{180, 180, 184};
constexpr RGB kDarkAccent{76, 194, 255};
constexpr RGB kLightAccent{0, 95, 184};

constexpr double kTextContrast = 4.5;
constexpr double kAccentContrast = 2.5;
constexpr double kSecondaryContrast = 3.5;
constexpr double kControlContrast = 4.5;

// Share of the own colour the dusk theme keeps at night.
constexpr double kDuskNightShare = 0.22;

double clampBlend(double t) {
    // A blend that is not a number would poison every mix; treat it as day,
    // the blend the default palette is built with.
    if (std::isnan(t)) return 1.0;
    return std::clamp(t, 0.0, 1.0);
}

// Light text unless dark text stands out more; ties go to light text.
bool wantsLightText(RGB background) {
    return ThemeColors::contrastRatio(background, kBlack) <= ThemeColors::contrastRatio(background, kWhite);
}

}  // namespace

double ThemeColors::contrastRatio(RGB a, RGB b) {
    const double la = a.luminance();
    const double lb = b.luminance();
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

RGB ThemeColors::ensureContrast(RGB c, RGB against, std::optional<RGB> toward, double minimum) {
    const RGB target = toward ? *toward : (against.luminance() > 0.18 ? kBlack : kWhite);
    if (contrastRatio(c, against) >= minimum) return c;
    // k is accumulated rather than computed as i / 10 so the steps land on the
    // same doubles (and thus the same roundings) as the reference palettes.
    double k = 0.0;
    for (int step = 0; step < 10; ++step) {
        k += 0.1;
        const RGB candidate = RGB::mix(c, target, k);
        if (contrastRatio(candidate, against) >= minimum) return candidate;
    }
    return target;
}

ThemeColors ThemeColors::make(const AppSettings& settings, bool systemIsLight, double duskBlend) {
    const std::optional<RGB> custom =
        settings.useCustomBackground ? RGB::fromHex(settings.customBackgroundColor) : std::nullopt;
    return make(settings.theme, custom, systemIsLight, duskBlend);
}

ThemeColors ThemeColors::make(ThemeMode theme, std::optional<RGB> custom, bool systemIsLight,
                              double duskBlend) {
    const double t = clampBlend(duskBlend);

    RGB background;
    switch (theme) {
        case ThemeMode::dark:
            background = custom.value_or(kDarkBackground);
            break;
        case ThemeMode::light:
            background = custom.value_or(kLightBackground);
            break;
        case ThemeMode::system:
            background = custom.value_or(systemIsLight ? kLightBackground : kDarkBackground);
            break;
        case ThemeMode::dusk:
            background = custom ? RGB::mix(RGB::mix(kBlack, *custom, kDuskNightShare), *custom, t)
                                : RGB::mix(kDuskNight, kLightBackground, t);
            break;
    }

    ThemeColors p;
    p.background = background;
    p.isDark = wantsLightText(background);
    RGB text = p.isDark ? kLightText : kDarkText;
    if (theme == ThemeMode::dusk && p.isDark) text = RGB::mix(kDuskNightText, kLightText, t);
    if (contrastRatio(text, background) < kTextContrast) text = p.isDark ? kWhite : kBlack;
    p.foreground = text;

    p.accent = p.isDark ? kDarkAccent : kLightAccent;
    if (contrastRatio(p.accent, background) < kAccentContrast) p.accent = text;
    p.accentForeground = contrastRatio(p.accent, kWhite) > contrastRatio(p.accent, kBlack) ? kWhite : kBlack;

    p.surface = ensureContrast(RGB::mix(background, text, 0.06), text, std::nullopt, kControlContrast);
    p.control = ensureContrast(RGB::mix(background, text, 0.10), text, std::nullopt, kControlContrast);
    p.controlHover = ensureContrast(RGB::mix(background, text, 0.17), text, std::nullopt, kControlContrast);
    p.border = RGB::mix(background, text, 0.24);
    p.secondaryForeground =
        ensureContrast(RGB::mix(background, text, 0.7), background, text, kSecondaryContrast);
    return p;
}

const ThemeColors& ThemeColors::defaultPalette() {
    static const ThemeColors palette = make(AppSettings::defaults(), false, 1.0);
    return palette;
}

// --- JSON -------------------------------------------------------------------

namespace {

struct ColorField {
    const char* key;
    RGB ThemeColors::*member;
};

constexpr ColorField kColorFields[] = {
    {"background", &ThemeColors::background},
    {"surface", &ThemeColors::surface},
    {"control", &ThemeColors::control},
    {"controlHover", &ThemeColors::controlHover},
    {"border", &ThemeColors::border},
    {"foreground", &ThemeColors::foreground},
    {"secondaryForeground", &ThemeColors::secondaryForeground},
    {"accent", &ThemeColors::accent},
    {"accentForeground", &ThemeColors::accentForeground},
};

}  // namespace

nlohmann::ordered_json toJson(const ThemeColors& colors) {
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    for (const auto& field : kColorFields) out[field.key] = (colors.*field.member).hexStdString();
    out["isDark"] = colors.isDark;
    return out;
}

namespace {

template <typename Json>
std::optional<RGB> colourAt(const Json& json, const char* key) {
    const auto it = json.find(key);
    if (it == json.end() || !it->is_string()) return std::nullopt;
    return RGB::fromHex(it->template get_ref<const std::string&>());
}

template <typename Json>
std::optional<ThemeColors> readThemeColors(const Json& json) {
    if (!json.is_object()) return std::nullopt;
    // Without a usable flag the background tells, by the rule the palettes
    // are made with; the fallback colours must match the text the widget
    // will draw on them.
    bool isDark = ThemeColors::defaultPalette().isDark;
    if (const auto dark = json.find("isDark"); dark != json.end() && dark->is_boolean())
        isDark = dark->template get<bool>();
    else if (const std::optional<RGB> background = colourAt(json, "background"))
        isDark = wantsLightText(*background);
    // A colour that is missing, of another type or no colour text takes the
    // plain light or dark palette's: one bad value costs that colour alone,
    // and the widget never draws black text on black.
    static const ThemeColors light = ThemeColors::make(ThemeMode::light, std::nullopt, true, 1.0);
    static const ThemeColors darkPalette = ThemeColors::make(ThemeMode::dark, std::nullopt, true, 1.0);
    const ThemeColors& fallback = isDark ? darkPalette : light;
    ThemeColors colors;
    for (const auto& field : kColorFields)
        colors.*field.member = colourAt(json, field.key).value_or(fallback.*field.member);
    colors.isDark = isDark;
    return colors;
}

}  // namespace

std::optional<ThemeColors> themeColorsFromJson(const nlohmann::ordered_json& json) {
    return readThemeColors(json);
}
std::optional<ThemeColors> themeColorsFromJson(const nlohmann::json& json) {
    return readThemeColors(json);
}

}  // namespace corvane
