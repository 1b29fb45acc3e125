#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QTimeZone>

namespace corvane {

// "Guten Morgen" 5–10 h, "Guten Tag" 11–17 h, "Guten Abend" 18–22 h, else
// "Gute Nacht", by the hour of `now` in `zone`; with a name (trimmed, not
// empty) "Guten Tag, Name!", otherwise "Guten Tag!".
QString greetingText(const QDateTime& now, QStringView name, const QTimeZone& zone);

// Countdown reading "HH:MM:SS": the seconds still begun, hours not wrapped.
QString formatDuration(double seconds);

// Stopwatch reading "HH:MM:SS.hh", hundredths truncated.
QString formatStopwatch(double seconds);

}  // namespace corvane
