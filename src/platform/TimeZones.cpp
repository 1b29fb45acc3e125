#include "platform/TimeZones.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>

namespace corvane {

bool isPlainZoneIdentifier(QStringView id) {
    if (id.isEmpty()) return false;
    qsizetype partStart = 0;
    for (qsizetype i = 0; i <= id.size(); ++i) {
        if (i == id.size() || id[i] == u'/') {
            const QStringView part = id.sliced(partStart, i - partStart);
            if (part.isEmpty() || part == u"." || part == u"..") return false;
            partStart = i + 1;
            continue;
        }
        const char16_t c = id[i].unicode();
        const bool allowed = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
                             c == u'_' || c == u'-' || c == u'+' || c == u'.' || c == u':';
        if (!allowed) return false;
    }
    return true;
}

QTimeZone zoneForIdentifier(QStringView id) {
    if (!isPlainZoneIdentifier(id)) return {};
    return QTimeZone(id.toLatin1());
}

QHash<QString, QString> zoneLinksFromZi(QByteArrayView text) {
    // "L <target> <link>" lines; a target may itself be a link.
    QHash<QString, QString> direct;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0) end = text.size();
        const QByteArrayView line = text.sliced(start, end - start);
        start = end + 1;
        if (!line.startsWith("L ")) continue;
        const QList<QByteArray> fields = line.toByteArray().simplified().split(' ');
        if (fields.size() < 3) continue;
        const QString target = QString::fromLatin1(fields[1]);
        const QString link = QString::fromLatin1(fields[2]);
        if (isPlainZoneIdentifier(target) && isPlainZoneIdentifier(link) && target != link)
            direct.insert(link, target);
    }
    QHash<QString, QString> links;
    links.reserve(direct.size());
    for (auto it = direct.cbegin(); it != direct.cend(); ++it) {
        QString zone = it.value();
        // The database keeps chains short; a loop (a broken file) ends here
        // and is left out.
        for (int hops = 0; hops < 8; ++hops) {
            const auto next = direct.constFind(zone);
            if (next == direct.cend()) break;
            zone = next.value();
        }
        if (!direct.contains(zone)) links.insert(it.key(), zone);
    }
    return links;
}

QString canonicalZoneID(const QString& id) {
    static const QHash<QString, QString> links = [] {
        // A regular file only: the folder is the system's, but a FIFO there
        // would block the first lookup for good.
        const QString path = QStringLiteral("/usr/share/zoneinfo/tzdata.zi");
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return QHash<QString, QString>();
        // The file is about 110 kB; anything far beyond is not the database.
        return zoneLinksFromZi(file.read(8 * 1024 * 1024));
    }();
    return links.value(id, id);
}

QTimeZone SystemTimeZoneProvider::current() const {
    const std::int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
    const char* tz = std::getenv("TZ");
    std::lock_guard lock(mutex_);
    const bool sameTz = (tz != nullptr) == hadTz_ && (!tz || tz_ == tz);
    if (asked_ && sameTz && now - askedAtMs_ >= 0 && now - askedAtMs_ < 1000) return zone_;
    QTimeZone zone = QTimeZone::systemTimeZone();
    zone_ = zone.isValid() ? zone : QTimeZone::utc();
    hadTz_ = tz != nullptr;
    if (tz) tz_ = tz;
    askedAtMs_ = now;
    asked_ = true;
    return zone_;
}

SystemTimeZoneProvider& SystemTimeZoneProvider::instance() {
    static SystemTimeZoneProvider provider;
    return provider;
}

// Days from civil and back: the well-known era-based conversion for the
// proleptic Gregorian calendar, exact for every year a clock can show.
qint64 daysFromCivil(CivilDate date) {
    const qint64 y = qint64(date.year) - (date.month <= 2 ? 1 : 0);
    const qint64 era = floorDiv(y, 400);
    const qint64 yoe = y - era * 400;
    const qint64 mp = (date.month + 9) % 12;
    const qint64 doy = (153 * mp + 2) / 5 + date.day - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civilFromDays(qint64 days) {
    const qint64 z = days + 719468;
    const qint64 era = floorDiv(z, 146097);
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    const int day = int(doy - (153 * mp + 2) / 5 + 1);
    const int month = int(mp < 10 ? mp + 3 : mp - 9);
    const qint64 year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    return CivilDate{int(year), month, day};
}

int weekdayOfDays(qint64 days) {
    // 1970-01-01 was a Thursday (5 when Sunday is 1).
    qint64 r = (days + 4) % 7;
    if (r < 0) r += 7;
    return int(r) + 1;
}

int dayOfYear(CivilDate date) {
    return int(daysFromCivil(date) - daysFromCivil(CivilDate{date.year, 1, 1})) + 1;
}

int utcOffsetSecs(const QTimeZone& zone, qint64 utcMSecs) {
    // A UTC QDateTime is stored inline and the zone lookup works on the
    // parsed transition table, so this does not touch the heap.
    return zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(utcMSecs, Qt::UTC));
}

LocalTime toLocal(const QTimeZone& zone, qint64 utcMSecs) {
    LocalTime t;
    t.offsetSecs = utcOffsetSecs(zone, utcMSecs);
    const qint64 local = utcMSecs + qint64(t.offsetSecs) * 1000;
    t.days = floorDiv(local, kMSecsPerDay);
    t.msOfDay = local - t.days * kMSecsPerDay;
    return t;
}

qint64 resolveWallTime(const QTimeZone& zone, qint64 days, qint64 hour, qint64 minute) {
    // Settings are range-checked when read; the clamp only keeps a hostile
    // value from overflowing the arithmetic below.
    constexpr qint64 kLimit = 1'000'000;
    hour = std::clamp(hour, -kLimit, kLimit);
    minute = std::clamp(minute, -kLimit, kLimit);
    days = std::clamp(days, -100 * kLimit, 100 * kLimit);
    const qint64 wall = days * kMSecsPerDay + (hour * 60 + minute) * 60'000;
    auto wallOf = [&zone](qint64 utc) { return utc + qint64(utcOffsetSecs(zone, utc)) * 1000; };

    // Every instant that can show this wall time lies within a day of it
    // (offsets stay within -12 h ... +14 h), so the offsets in force a day
    // before and a day after, and those at the instants they point to, are
    // all the offsets that can matter. Qt's own local-to-UTC conversion is
    // not used: inside a gap it moves the time by the gap's length.
    std::array<int, 4> offsets{};
    offsets[0] = utcOffsetSecs(zone, wall - kMSecsPerDay);
    offsets[1] = utcOffsetSecs(zone, wall + kMSecsPerDay);
    offsets[2] = utcOffsetSecs(zone, wall - qint64(offsets[0]) * 1000);
    offsets[3] = utcOffsetSecs(zone, wall - qint64(offsets[1]) * 1000);

    bool found = false;
    qint64 first = 0;
    bool haveBelow = false, haveAbove = false;
    qint64 below = 0, above = 0;  // instants whose wall time is before / after `wall`
    for (int offset : offsets) {
        const qint64 utc = wall - qint64(offset) * 1000;
        const qint64 shown = wallOf(utc);
        if (shown == wall) {
            // A repeated time has two such instants: the earlier one wins.
            if (!found || utc < first) first = utc;
            found = true;
        } else if (shown < wall) {
            if (!haveBelow || utc > below) below = utc;
            haveBelow = true;
        } else {
            if (!haveAbove || utc < above) above = utc;
            haveAbove = true;
        }
    }
    if (found) return first;
    if (!haveBelow || !haveAbove || below >= above) {
        // Not a gap we can bracket (should not happen with real zone data):
        // take the offset in force just before.
        return wall - qint64(offsets[2]) * 1000;
    }

    // Inside a gap: the first instant whose wall time is at or past `wall`
    // is the moment the clocks jumped, i.e. the first existing time after it.
    qint64 lo = below, hi = above;
    while (hi - lo > 1) {
        const qint64 mid = lo + (hi - lo) / 2;
        if (wallOf(mid) >= wall) {
            hi = mid;
        } else {
            lo = mid;
        }
    }
    return hi;
}

}  // namespace corvane
