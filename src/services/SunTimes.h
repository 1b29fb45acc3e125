#pragma once

#include "platform/TimeZones.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <optional>

namespace corvane {

enum class SunDayType {
    normal,
    polarDay,    // the sun does not set
    polarNight,  // the sun does not rise
    invalid,     // no finite result
};

// Sunrise and sunset after the almanac algorithm for the official zenith of
// 90.833°. Every call computes afresh; nothing is cached.
struct SunTimes {
    SunDayType type = SunDayType::invalid;
    std::optional<QDateTime> sunrise;  // present exactly when type is normal
    std::optional<QDateTime> sunset;

    struct Event {
        double utHours = 0;  // 0...24, meaningless unless type is normal
        SunDayType type = SunDayType::invalid;
    };

    // The sun times of the local calendar day `date` in `zone`.
    static SunTimes onDay(CivilDate date, double latitude, double longitude, const QTimeZone& zone);

    // Sunrise (or sunset) of day-of-year `dayOfYear` in hours of UT.
    static Event eventUT(int dayOfYear, bool sunrise, double latitude, double longitude);
    // The moment of an event given in UT hours, placed on the local day
    // `date` of `zone` (for zones far from UTC the UT date differs).
    static QDateTime dateFor(CivilDate date, double utHours, const QTimeZone& zone);
    // hour·60 + minute + seconds/60 on the wall clock of `zone`.
    static double minutesOfDay(const QDateTime& date, const QTimeZone& zone);
    // "HH:mm" on the wall clock of `zone`, from the calendar fields (it runs
    // every second, so no formatter is built).
    static QString formatHM(const QDateTime& date, const QTimeZone& zone);
};

}  // namespace corvane
