#include "settings/kit/SettingsPalette.h"

#include "model/ThemePalette.h"

namespace corvane {

QPalette settingsPalette(const ThemeColors& t) {
    // The program's palette, so the pop-up lists and dialogs of these
    // controls (windows of their own, on the program's palette) match them.
    QPalette p = qtPalette(t);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        // The styles outline check boxes and fields in the window colour
        // darkened; on a dark palette that outline would vanish into the
        // card, so the window colour is lifted towards the text here (the
        // root paints its own background).
        p.setColor(g, QPalette::Window,
                   t.isDark ? RGB::mix(t.background, t.foreground, 0.3).toQColor() : t.background.toQColor());
        // Fields sit on cards (surface); the window background sets them
        // apart from the card in both light and dark palettes.
        p.setColor(g, QPalette::Base, t.background.toQColor());
    }
    return p;
}

}  // namespace corvane
