#pragma once

#include "model/Settings.h"
#include "platform/TimeZones.h"

#include <QDateTime>

#include <functional>
#include <optional>
#include <vector>

namespace corvane {

// Decides which alarms have fallen due. The model calls check() once per
// calendar second; a check looks back over the time since the previous one
// (at most 12 hours), so alarms whose minute passed while the computer slept
// or was busy still ring on waking, each occurrence exactly once.
//
// Alarm times are wall times of the user's current zone, asked from the
// provider on every call. A time inside a daylight-saving gap rings at the
// first existing instant after the gap; a repeated time at its first
// occurrence. check() and nextOccurrence() resolve times the same way, so the
// "next alarm" text always names the moment the alarm will really ring.
class AlarmService {
public:
    static constexpr qint64 kMaxLookBackMSecs = 43'200'000;  // 12 hours

    // number is the 1-based alarm number, now the time of the check,
    // scheduled the occurrence being reported.
    using TriggeredCallback =
        std::function<void(int number, const AlarmSettings& alarm, const QDateTime& now, const QDateTime& scheduled)>;

    explicit AlarmService(const TimeZoneProvider& zones = SystemTimeZoneProvider::instance()) : zones_(zones) {}

    // The callback may edit the settings that `alarms` belongs to (a one-time
    // alarm switches itself off): the list is read by index after each call,
    // and the callback gets its own copy of the alarm.
    void check(const QDateTime& now, const std::vector<AlarmSettings>& alarms);

    // The first occurrence strictly after `after`, whether or not the alarm
    // is enabled.
    QDateTime nextOccurrence(const AlarmSettings& alarm, const QDateTime& after) const;

    std::optional<QDateTime> lastCheck() const;
    // The occurrence last reported for the alarm at `index` (0-based).
    std::optional<QDateTime> lastTriggered(std::size_t index) const;

    TriggeredCallback onTriggered;

private:
    const TimeZoneProvider& zones_;
    // Entries are only ever replaced; a stale one merely suppresses a second
    // report of the very same instant.
    std::vector<std::optional<qint64>> lastTriggered_;
    std::optional<qint64> lastCheck_;
};

}  // namespace corvane
