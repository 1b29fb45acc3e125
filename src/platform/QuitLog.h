#pragma once

#include <QString>

namespace corvane {

// Once the program is ending no window can show a failure any more: the log
// is the only place left to say what was lost there, and why. `message` is
// the German text the user would otherwise have read.
void logFailureAtQuit(const QString& message);

}  // namespace corvane
