#pragma once

#include <nlohmann/json_fwd.hpp>
#include <optional>

#include "model/Rgb.h"
#include "model/Settings.h"

namespace corvane {

// The resolved palette every window draws with. It is a pure function of the
// theme settings, the system appearance and the dusk blend, so callers compare
// palettes by value to skip unchanged updates.
struct ThemeColors {
    RGB background;
    RGB surface;
    RGB control;
    RGB controlHover;
    RGB border;
    RGB foreground;
    RGB secondaryForeground;
    RGB accent;
    RGB accentForeground;
    bool isDark = false;  // light text on a dark background

    friend bool operator==(const ThemeColors&, const ThemeColors&) = default;

    // WCAG 2.0 contrast ratio, 1 (same luminance) to 21 (black on white).
    static double contrastRatio(RGB a, RGB b);

    // The first of c, mix(c, toward, 0.1), ..., mix(c, toward, 1.0) that has at
    // least `minimum` contrast against `against`; `toward` itself when none
    // does. Without `toward`, black for a light `against`, else white.
    static RGB ensureContrast(RGB c, RGB against, std::optional<RGB> toward, double minimum);

    // The palette for the settings' theme and own background colour.
    // `systemIsLight` is the desktop's appearance (used by the system theme);
    // `duskBlend` runs from night (0) to day (1), is clamped to that range and
    // only matters for the dusk theme.
    static ThemeColors make(const AppSettings& settings, bool systemIsLight, double duskBlend);
    // The same with the own background colour already parsed.
    static ThemeColors make(ThemeMode theme, std::optional<RGB> customBackground, bool systemIsLight,
                            double duskBlend);

    // The palette of the default settings (the dark system palette), used
    // wherever no palette has been set yet. Built once.
    static const ThemeColors& defaultPalette();
};

// The palette as stored inside the widget snapshot: an object with the ten
// field names as keys, colours as "#RRGGBB". Reading fails only for something
// that is not an object. A colour that is missing, not a text or not a colour
// text reads as that colour of the plain light or dark palette (by "isDark";
// without a usable "isDark", by the background as the palettes decide it).
nlohmann::ordered_json toJson(const ThemeColors& colors);
std::optional<ThemeColors> themeColorsFromJson(const nlohmann::ordered_json& json);
std::optional<ThemeColors> themeColorsFromJson(const nlohmann::json& json);

}  // namespace corvane
