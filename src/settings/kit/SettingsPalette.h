#pragma once

// What plain Qt controls (check boxes, combo boxes, sliders, line edits, spin
// boxes, scroll areas) need to look right on the settings pages in every
// palette. The settings root sets it on itself; everything below inherits
// it, so pages use the stock controls without any styling of their own.

#include <QPalette>

#include "model/Theme.h"

namespace corvane {

QPalette settingsPalette(const ThemeColors& theme);

}  // namespace corvane
