#include "services/AlarmService.h"

namespace corvane {

namespace {

QDateTime utcDateTime(qint64 msecs) {
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

bool ringsOnDayOf(const QTimeZone& zone, const WeekdaySet& weekdays, qint64 instant) {
    return weekdays.empty() || weekdays.contains(toLocal(zone, instant).weekday());
}

}  // namespace

void AlarmService::check(const QDateTime& now, const std::vector<AlarmSettings>& alarms) {
    const qint64 nowMs = now.toMSecsSinceEpoch();

    qint64 start = lastCheck_ ? *lastCheck_ : nowMs - 1000;
    lastCheck_ = nowMs;
    if (start > nowMs) start = nowMs - 1000;  // the clock was set back
    if (nowMs - start > kMaxLookBackMSecs) start = nowMs - kMaxLookBackMSecs;

    const QTimeZone zone = zones_.current();
    const LocalTime local = toLocal(zone, nowMs);
    // An alarm rings in its own minute even when the window opens later in
    // it (first check after launch at 07:00:30, alarm just set to 07:00).
    const qint64 minuteStart = nowMs - local.msOfDay % 60'000;

    if (lastTriggered_.size() < alarms.size()) lastTriggered_.resize(alarms.size());

    for (std::size_t index = 0; index < alarms.size(); ++index) {
        if (!alarms[index].isEnabled) continue;
        const qint64 hour = alarms[index].hour;
        const qint64 minute = alarms[index].minute;
        const WeekdaySet weekdays = alarms[index].weekdays;

        // Both days are resolved on their own: a day-length step from today's
        // time would carry a spring-forward shift over to the other day.
        const qint64 candidates[2] = {
            resolveWallTime(zone, local.days - 1, hour, minute),
            resolveWallTime(zone, local.days, hour, minute),
        };
        for (qint64 c : candidates) {
            if (!ringsOnDayOf(zone, weekdays, c)) continue;
            const bool due = (start < c && c <= nowMs) || c == minuteStart;
            if (!due) continue;
            if (lastTriggered_[index] == c) continue;
            lastTriggered_[index] = c;
            if (onTriggered) {
                const AlarmSettings alarm = alarms[index];
                onTriggered(int(index) + 1, alarm, now, utcDateTime(c));
                // The callback may have changed the list the alarms live in.
                if (index >= alarms.size()) return;
                if (lastTriggered_.size() < alarms.size()) lastTriggered_.resize(alarms.size());
            }
        }
    }
}

QDateTime AlarmService::nextOccurrence(const AlarmSettings& alarm, const QDateTime& after) const {
    const qint64 afterMs = after.toMSecsSinceEpoch();
    const QTimeZone zone = zones_.current();
    const qint64 day = toLocal(zone, afterMs).days;

    // Each candidate day gets its own resolution (not "today plus whole
    // days"): on the day the clocks spring forward the time resolves
    // differently from the days around it.
    for (qint64 k = 0; k <= 7; ++k) {
        const qint64 c = resolveWallTime(zone, day + k, alarm.hour, alarm.minute);
        if (c > afterMs && ringsOnDayOf(zone, alarm.weekdays, c)) return utcDateTime(c);
    }
    // Only reachable with a weekday set that can never match.
    const qint64 base = resolveWallTime(zone, day, alarm.hour, alarm.minute);
    if (base > afterMs) return utcDateTime(base);
    return utcDateTime(resolveWallTime(zone, day + 1, alarm.hour, alarm.minute));
}

std::optional<QDateTime> AlarmService::lastCheck() const {
    if (!lastCheck_) return std::nullopt;
    return utcDateTime(*lastCheck_);
}

std::optional<QDateTime> AlarmService::lastTriggered(std::size_t index) const {
    if (index >= lastTriggered_.size() || !lastTriggered_[index]) return std::nullopt;
    return utcDateTime(*lastTriggered_[index]);
}

}  // namespace corvane
