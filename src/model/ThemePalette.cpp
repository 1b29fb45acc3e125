#include "model/ThemePalette.h"

namespace corvane {

namespace {

QColor mix(RGB a, RGB b, double t) { return RGB::mix(a, b, t).toQColor(); }

}  // namespace

QPalette qtPalette(const ThemeColors& t) {
    QPalette p;
    const QColor fg = t.foreground.toQColor();
    // Fields and lists stand out from the window: lifted towards the text on
    // a dark background, brighter than a light one.
    const QColor field = t.isDark ? t.surface.toQColor() : mix(t.background, RGB{255, 255, 255}, 0.75);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Window, t.background.toQColor());
        p.setColor(g, QPalette::Base, field);
        p.setColor(g, QPalette::AlternateBase, t.control.toQColor());
        p.setColor(g, QPalette::Button, t.control.toQColor());
        p.setColor(g, QPalette::Highlight, t.accent.toQColor());
        p.setColor(g, QPalette::HighlightedText, t.accentForeground.toQColor());
        p.setColor(g, QPalette::PlaceholderText, t.secondaryForeground.toQColor());
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
