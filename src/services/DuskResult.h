#pragma once

#include "model/Settings.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

namespace corvane {

// The dusk brightness (1 = full day, 0 = full night) with the status line the
// design page shows under the dusk settings.
struct DuskResult {
    double brightness = 1.0;
    QString status;
    // Set when invalid coordinates, or a sun computation without a finite
    // result, made the fixed schedule apply.
    bool isFallback = false;

    bool operator==(const DuskResult&) const = default;

    // `zone` is the zone in which the day, the schedule times and the shown
    // sunrise and sunset are read.
    static DuskResult compute(const DuskSettings& settings, const QDateTime& now, const QTimeZone& zone);

    // The schedule curve with the day and night starts of `settings`.
    static double scheduleBrightness(const DuskSettings& settings, double nowMinutes, double rampWidth);

    // The curve itself, for any two starts (minutes of day): a smoothstep
    // ramp of `rampWidth` minutes after each start, never longer than the
    // shorter of day and night.
    static double curve(double dayStart, double nightStart, double nowMinutes, double rampWidth);
};

}  // namespace corvane
