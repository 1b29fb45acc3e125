#pragma once

// What Qt draws by itself (message boxes, the file and colour dialogs, the
// lists of pop-up pickers, context menus, tool tips) takes its colours from
// the application's palette, not from our own painting. This keeps that
// palette in the theme, light or dark, so those windows match ours.

#include "model/ThemePalette.h"

namespace corvane {

// Makes qtPalette(theme) the palette of the whole program, of the tool
// tips, and of every class a desktop theme gave a palette of its own (its
// menus, for one). Does nothing when that palette is already in place.
void applyAppPalette(const ThemeColors& theme);

}  // namespace corvane
