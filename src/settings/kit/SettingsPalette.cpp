#include "settings/kit/SettingsPalette.h"

namespace corvane {

namespace {

QColor mix(RGB a, RGB b, double t) {
    return QColor(int(a.r + (b.r - a.r) * t + 0.5), int(a.g + (b.g - a.g) * t + 0.5),
                  int(a.b + (b.b - a.b) * t + 0.5));
}

}  // namespace

QPalette settingsPalette(const ThemeColors& t) {
    QPalette p;
    const QColor fg = t.foreground.toQColor();
    const QColor secondary = t.secondaryForeground.toQColor();
    // Fields sit on cards (surface); the window background sets them apart
    // from the card in both light and dark palettes.
    const QColor field = t.background.toQColor();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        // The styles outline check boxes and fields in the window colour
        // darkened; on a dark palette that outline would vanish into the
        // card, so the window colour is lifted towards the text there.
        p.setColor(g, QPalette::Window, t.isDark ? mix(t.background, t.foreground, 0.3) : t.background.toQColor());
        p.setColor(g, QPalette::Base, field);
        p.setColor(g, QPalette::AlternateBase, t.control.toQColor());
        p.setColor(g, QPalette::Button, t.control.toQColor());
        p.setColor(g, QPalette::Highlight, t.accent.toQColor());
        p.setColor(g, QPalette::HighlightedText, t.accentForeground.toQColor());
        p.setColor(g, QPalette::PlaceholderText, secondary);
        p.setColor(g, QPalette::ToolTipBase, t.surface.toQColor());
        p.setColor(g, QPalette::ToolTipText, fg);
        p.setColor(g, QPalette::Link, t.accent.toQColor());
        p.setColor(g, QPalette::LinkVisited, t.accent.toQColor());
        // The bevel colours the styles draw frames, grooves and handles with.
        p.setColor(g, QPalette::Light, mix(t.control, t.foreground, 0.12));
        p.setColor(g, QPalette::Midlight, mix(t.control, t.border, 0.5));
        p.setColor(g, QPalette::Mid, t.border.toQColor());
        p.setColor(g, QPalette::Dark, mix(t.border, t.background, 0.3));
        p.setColor(g, QPalette::Shadow, mix(t.border, t.background, 0.6));
        p.setColor(g, QPalette::BrightText, t.accentForeground.toQColor());
    }
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::WindowText, fg);
        p.setColor(g, QPalette::Text, fg);
        p.setColor(g, QPalette::ButtonText, fg);
    }
    QColor disabled = fg;
    disabled.setAlphaF(0.4);
    p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    p.setColor(QPalette::Disabled, QPalette::Text, disabled);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    return p;
}

}  // namespace corvane
