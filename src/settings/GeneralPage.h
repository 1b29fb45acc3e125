#pragma once

namespace corvane {

// Longest name the greeting takes, in user-perceived characters.
inline constexpr int kMaxUserNameLength = 40;

}  // namespace corvane
