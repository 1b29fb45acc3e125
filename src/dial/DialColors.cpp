#include "dial/DialColors.h"

namespace corvane {

namespace {

constexpr RGB kRed{255, 107, 90};
constexpr RGB kDeepRed{196, 43, 28};
constexpr RGB kWhite{255, 255, 255};
constexpr RGB kBlack{0, 0, 0};

}  // namespace

DialColors DialColors::forFace(const ThemeColors& theme, const std::optional<QColor>& faceColor,
                               const std::optional<RGB>& faceRGB) {
    DialColors c;
    c.background = theme.background.toQColor();
    if (!faceRGB) {
        c.face = faceColor.value_or(theme.surface.toQColor());
        c.foreground = theme.foreground.toQColor();
        c.accent = theme.accent.toQColor();
        c.secondHand = (theme.isDark ? kRed : kDeepRed).toQColor();
        return c;
    }
    const RGB f = *faceRGB;
    // A tie goes to white text.
    const bool whiteWins = ThemeColors::contrastRatio(f, kWhite) >= ThemeColors::contrastRatio(f, kBlack);
    const std::uint8_t g = whiteWins ? 244 : 26;
    const RGB text{g, g, g};
    c.face = f.toQColor();
    c.foreground = text.toQColor();
    c.accent = (ThemeColors::contrastRatio(theme.accent, f) >= 2.5 ? theme.accent : text).toQColor();
    const RGB pick = theme.isDark ? kRed : kDeepRed;
    c.secondHand = (ThemeColors::contrastRatio(pick, f) >= 2.2 ? pick : (whiteWins ? kRed : kDeepRed)).toQColor();
    return c;
}

}  // namespace corvane
