#include "services/TimeTexts.h"

#include "platform/Text.h"
#include "platform/TimeZones.h"

#include <cmath>
#include <cstdio>

namespace corvane {

namespace {

// Out-of-range doubles would make the integer conversion undefined; a
// reading that large has no meaning on a clock face anyway.
long long toWholeClamped(double value) {
    constexpr double limit = 9.0e15;
    if (!(value < limit)) return static_cast<long long>(limit);
    return static_cast<long long>(value);
}

QString fromLatin1Buffer(const char* text, int length) {
    return QString::fromLatin1(text, length < 0 ? 0 : length);
}

}  // namespace

QString greetingText(const QDateTime& now, QStringView name, const QTimeZone& zone) {
    const int hour = toLocal(zone, now.toMSecsSinceEpoch()).hour();
    QString greeting;
    if (hour >= 5 && hour <= 10) {
        greeting = tr("Guten Morgen");
    } else if (hour >= 11 && hour <= 17) {
        greeting = tr("Guten Tag");
    } else if (hour >= 18 && hour <= 22) {
        greeting = tr("Guten Abend");
    } else {
        greeting = tr("Gute Nacht");
    }
    const QStringView trimmed = name.trimmed();
    if (trimmed.isEmpty()) return tr("%1!").arg(greeting);
    return tr("%1, %2!").arg(greeting, trimmed);
}

QString formatDuration(double seconds) {
    // NaN counts as nothing left.
    const double value = seconds > 0 ? seconds : 0.0;
    const long long t = toWholeClamped(std::ceil(value - 0.000000001));
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld", t / 3600, (t / 60) % 60, t % 60);
    return fromLatin1Buffer(buffer, n);
}

QString formatStopwatch(double seconds) {
    const double value = seconds > 0 ? seconds : 0.0;
    const long long c = toWholeClamped(value * 100);
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld.%02lld", c / 360000, (c / 6000) % 60,
                                (c / 100) % 60, c % 100);
    return fromLatin1Buffer(buffer, n);
}

}  // namespace corvane
