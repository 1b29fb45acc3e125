#pragma once

#include <QString>

namespace corvane {

// Every user-visible text is looked up with its German wording as the key, so
// the program reads German without any table and a translation can be added
// later without touching the callers. Placeholders are %1, %2, ...
QString tr(const char* german);

}  // namespace corvane
