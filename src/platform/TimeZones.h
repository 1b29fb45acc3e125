#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QTimeZone>
#include <QtGlobal>

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>

namespace corvane {

// QTimeZone reads its identifier as a path below the zoneinfo folder: "../"
// reaches any file on the disk, where a FIFO would block the program for
// good, and an empty identifier is the system's own zone. Identifiers from
// files (settings, catalogue) therefore go through this check: plain names of
// ASCII letters, digits and "_-+.:" in non-empty "/"-separated parts, none of
// them "." or "..".
bool isPlainZoneIdentifier(QStringView id);
// The zone of `id`, or an invalid zone when the identifier is not plain or
// names no zone the system knows.
QTimeZone zoneForIdentifier(QStringView id);

// The zone a name stands for in the system's tz database: a link such as
// "Asia/Calcutta" or "Europe/Kiev" gives the zone it points at
// ("Asia/Kolkata", "Europe/Kyiv"); a zone, or a name the database does not
// know, gives itself. The links are read once, from tzdata.zi below the
// zoneinfo folder; without that file every name stands for itself.
QString canonicalZoneID(const QString& id);
// The links of a tzdata.zi text, from link name to the zone at the end of
// its chain; a link whose chain leads nowhere is left out.
QHash<QString, QString> zoneLinksFromZi(QByteArrayView text);

// Where "the user's current zone" comes from. Services ask it on every call
// instead of keeping a QTimeZone, so a change of the system zone while the
// program runs takes effect at the next check; tests pin a zone with
// FixedTimeZoneProvider.
class TimeZoneProvider {
public:
    virtual ~TimeZoneProvider() = default;
    virtual QTimeZone current() const = 0;
};

// The system zone as Qt sees it (TZ, else /etc/localtime). Qt looks at three
// files for each answer and one second's work asks several times, so an
// answer is kept for up to a second while TZ stays the same: a change of TZ
// shows at once, one of /etc/localtime within a second.
// An unusable answer becomes UTC so callers always get a valid zone.
class SystemTimeZoneProvider final : public TimeZoneProvider {
public:
    QTimeZone current() const override;
    static SystemTimeZoneProvider& instance();

private:
    mutable std::mutex mutex_;
    mutable QTimeZone zone_;
    mutable std::string tz_;
    mutable bool hadTz_ = false;
    mutable std::int64_t askedAtMs_ = 0;
    mutable bool asked_ = false;
};

class FixedTimeZoneProvider final : public TimeZoneProvider {
public:
    explicit FixedTimeZoneProvider(QTimeZone zone) : zone_(std::move(zone)) {}
    explicit FixedTimeZoneProvider(const char* ianaId) : zone_(QByteArray(ianaId)) {}
    QTimeZone current() const override { return zone_; }
    void setZone(QTimeZone zone) { zone_ = std::move(zone); }

private:
    QTimeZone zone_;
};

// ---------------------------------------------------------------------------
// Wall time over a QTimeZone, on plain integers so the per-second alarm scan
// never allocates. Days are counted from 1970-01-01 of the proleptic
// Gregorian calendar; "local milliseconds" are a wall time read as if it were
// UTC (UTC milliseconds plus the zone's offset at that instant).

inline constexpr qint64 kMSecsPerDay = 86'400'000;

struct CivilDate {
    int year = 1970;
    int month = 1;  // 1...12
    int day = 1;    // 1...31
    bool operator==(const CivilDate&) const = default;
};

constexpr qint64 floorDiv(qint64 a, qint64 b) {
    qint64 q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

qint64 daysFromCivil(CivilDate date);
CivilDate civilFromDays(qint64 days);
// 1 = Sunday ... 7 = Saturday, the numbering the alarm weekdays use.
int weekdayOfDays(qint64 days);
// 1-based ordinal of the day within its year.
int dayOfYear(CivilDate date);

// The zone's offset from UTC at an instant, in seconds (0 for an invalid zone).
int utcOffsetSecs(const QTimeZone& zone, qint64 utcMSecs);

// An instant read on the wall clock of a zone.
struct LocalTime {
    qint64 days = 0;       // local calendar day, counted from 1970-01-01
    qint64 msOfDay = 0;    // 0 ... 86'399'999
    int offsetSecs = 0;    // the zone's offset at the instant

    int hour() const { return int(msOfDay / 3'600'000); }
    int minute() const { return int(msOfDay / 60'000 % 60); }
    int second() const { return int(msOfDay / 1000 % 60); }
    int msec() const { return int(msOfDay % 1000); }
    CivilDate date() const { return civilFromDays(days); }
    int weekday() const { return weekdayOfDays(days); }
};

LocalTime toLocal(const QTimeZone& zone, qint64 utcMSecs);

// The instant at which the wall clock of `zone` shows `hour:minute:00` on
// local day `days`. A time inside a gap (clocks spring forward) resolves to
// the first existing instant after the gap; a time that occurs twice (clocks
// go back) resolves to its first occurrence. Hour and minute beyond a day are
// carried over as wall time (24:00 is the next day's midnight).
qint64 resolveWallTime(const QTimeZone& zone, qint64 days, qint64 hour, qint64 minute);

// First instant of local day `days` (midnight, or the end of a gap that
// swallows it).
inline qint64 startOfLocalDay(const QTimeZone& zone, qint64 days) {
    return resolveWallTime(zone, days, 0, 0);
}

}  // namespace corvane
