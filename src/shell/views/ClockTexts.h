#pragma once

#include "model/Settings.h"

namespace corvane {

// Whether a lone clock shows its title and zone line: not for an unnamed
// clock of the computer's own zone. (A grid cell always shows both.)
inline bool showsCaption(const ClockEntry& clock) { return !clock.timeZoneID.isEmpty() || !clock.name.isEmpty(); }

}  // namespace corvane
