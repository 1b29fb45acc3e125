#pragma once

// Settings written on another system name that system's own sound files,
// which no Linux sound folder holds: its defaults, and whatever else it ships
// among its system sounds. Each has a counterpart in the freedesktop sound
// theme (Debian: sound-theme-freedesktop) that a user would pick for the
// same use.

#include <QString>

#include <array>
#include <optional>

namespace corvane {

struct SoundCounterpart {
    const char* original;  // the name a default or an older settings file uses
    const char* here;      // the freedesktop theme's file for the same use
};

const std::array<SoundCounterpart, 14>& soundCounterparts();

// The counterpart of `name` when the table has it (exact spelling); none
// otherwise.
std::optional<QString> soundCounterpart(const QString& name);

// The counterpart of one of the table's names, for building the defaults.
QString defaultSoundHere(const char* original);

}  // namespace corvane
