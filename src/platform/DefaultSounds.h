#pragma once

// The default alarm and countdown sounds are named after another system's
// sound files, which no Linux sound folder holds. Each has a counterpart in
// the freedesktop sound theme (Debian: sound-theme-freedesktop) that a user
// would pick for the same use.

#include <QString>

#include <array>
#include <optional>

namespace corvane {

struct SoundCounterpart {
    const char* original;  // the name a default or an older settings file uses
    const char* here;      // the freedesktop theme's file for the same use
};

const std::array<SoundCounterpart, 5>& defaultSoundCounterparts();

// The counterpart of `name` when it is one of those five; none otherwise.
std::optional<QString> soundCounterpart(const QString& name);

// The counterpart of one of the five, for building the defaults.
QString defaultSoundHere(const char* original);

}  // namespace corvane
