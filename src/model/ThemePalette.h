#pragma once

// The theme as the palette Qt's own controls, dialogs and menus draw with.

#include <QPalette>

#include "model/Theme.h"

namespace corvane {

// Every role the styles read, from the theme's colours: the window colour
// is the background, fields and lists a shade apart from it, disabled text
// dimmed.
QPalette qtPalette(const ThemeColors& theme);

}  // namespace corvane
