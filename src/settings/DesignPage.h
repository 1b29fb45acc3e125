#pragma once

#include <QString>
#include <array>

namespace corvane {

// The transition times the dusk card offers, in minutes.
inline constexpr std::array<int, 12> kTransitionChoices{0, 5, 10, 15, 20, 30, 45, 60, 90, 120, 180, 240};

// "Kein Übergang" for 0, else "90 Minuten".
QString transitionText(int minutes);

}  // namespace corvane
