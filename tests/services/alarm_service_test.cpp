#include <gtest/gtest.h>

#include "services/AlarmService.h"

#include <QDateTime>

#include <limits>
#include <ostream>
#include <string>
#include <vector>

using namespace corvane;

namespace {

QDateTime iso(const char* text) {
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
    EXPECT_TRUE(t.isValid()) << text;
    return t.toUTC();
}

std::string show(const QDateTime& t) {
    return t.toString(Qt::ISODate).toStdString();
}

AlarmSettings alarmAt(int hour, int minute, WeekdaySet weekdays = AlarmSettings::allWeekdays()) {
    AlarmSettings a;
    a.isEnabled = true;
    a.hour = hour;
    a.minute = minute;
    a.weekdays = weekdays;
    return a;
}

struct Report {
    int number;
    QDateTime now;
    QDateTime scheduled;
};

struct Recorder {
    explicit Recorder(const char* zone) : zones(zone), service(zones) {
        service.onTriggered = [this](int number, const AlarmSettings&, const QDateTime& now, const QDateTime& sched) {
            reports.push_back({number, now, sched});
        };
    }
    FixedTimeZoneProvider zones;
    AlarmService service;
    std::vector<Report> reports;
};

struct Check {
    const char* at;
    bool enabled = true;
};

struct ScanCase {
    const char* what;
    const char* zone;
    int hour;
    int minute;
    WeekdaySet weekdays;
    std::vector<Check> checks;
    // For each report: the index of the check that made it, and the occurrence.
    std::vector<std::pair<int, const char*>> expected;
};

// Weekdays: 1 = Sunday ... 7 = Saturday. 2026-06-01 is a Monday.
constexpr int kMonday = 2;
constexpr int kTuesday = 3;

std::vector<ScanCase> scanCases() {
    const WeekdaySet every = AlarmSettings::allWeekdays();
    return {
        {"first check after launch inside the alarm's minute", "Europe/Berlin", 7, 0, every,
         {{"2026-06-01T07:00:30+02:00"}, {"2026-06-01T07:00:31+02:00"}, {"2026-06-01T07:00:59+02:00"}},
         {{0, "2026-06-01T07:00:00+02:00"}}},
        {"ordinary day, checked every few seconds around the minute", "Europe/Berlin", 7, 0, every,
         {{"2026-06-01T06:59:58+02:00"}, {"2026-06-01T06:59:59+02:00"}, {"2026-06-01T07:00:00+02:00"},
          {"2026-06-01T07:00:01+02:00"}},
         {{2, "2026-06-01T07:00:00+02:00"}}},
        {"asleep from 06:00 to 09:00: rings once on waking", "Europe/Berlin", 7, 0, every,
         {{"2026-06-01T06:00:00+02:00"}, {"2026-06-01T09:00:05+02:00"}, {"2026-06-01T09:00:06+02:00"}},
         {{1, "2026-06-01T07:00:00+02:00"}}},
        {"just inside the 12-hour look-back", "Europe/Berlin", 7, 0, every,
         {{"2026-06-01T06:00:00+02:00"}, {"2026-06-01T18:59:59+02:00"}},
         {{1, "2026-06-01T07:00:00+02:00"}}},
        {"exactly 12 hours later the occurrence is out of the window", "Europe/Berlin", 7, 0, every,
         {{"2026-06-01T06:00:00+02:00"}, {"2026-06-01T19:00:00+02:00"}},
         {}},
        {"asleep for more than 12 hours", "Europe/Berlin", 7, 0, every,
         {{"2026-05-31T22:00:00+02:00"}, {"2026-06-01T20:30:00+02:00"}},
         {}},
        {"clock set back an hour after the alarm rang", "Europe/Berlin", 7, 0, every,
         {{"2026-06-01T07:00:30+02:00"}, {"2026-06-01T06:00:31+02:00"}, {"2026-06-01T06:59:59+02:00"},
          {"2026-06-01T07:00:10+02:00"}, {"2026-06-01T07:01:00+02:00"}},
         {{0, "2026-06-01T07:00:00+02:00"}}},
        {"clock set back over an occurrence that never rang: the window shrinks", "Europe/Berlin", 7, 30, every,
         {{"2026-06-01T09:00:00+02:00"}, {"2026-06-01T07:00:00+02:00"}, {"2026-06-01T07:15:00+02:00"}},
         {}},
        {"23:30 alarm, asleep over midnight: yesterday's occurrence", "Europe/Berlin", 23, 30, every,
         {{"2026-06-01T23:00:00+02:00"}, {"2026-06-02T00:10:00+02:00"}},
         {{1, "2026-06-01T23:30:00+02:00"}}},
        {"yesterday's candidate is tested against its own weekday (Monday)", "Europe/Berlin", 23, 30,
         WeekdaySet{kMonday},
         {{"2026-06-01T23:00:00+02:00"}, {"2026-06-02T00:10:00+02:00"}},
         {{1, "2026-06-01T23:30:00+02:00"}}},
        {"...and not against the day of the check (Tuesday)", "Europe/Berlin", 23, 30, WeekdaySet{kTuesday},
         {{"2026-06-01T23:00:00+02:00"}, {"2026-06-02T00:10:00+02:00"}},
         {}},
        {"Monday-only alarm inside the window on a Tuesday", "Europe/Berlin", 7, 0, WeekdaySet{kMonday},
         {{"2026-06-02T06:59:00+02:00"}, {"2026-06-02T07:00:30+02:00"}},
         {}},
        {"one-time alarm rings on any day", "Europe/Berlin", 7, 0, WeekdaySet{},
         {{"2026-06-04T06:59:00+02:00"}, {"2026-06-04T07:00:30+02:00"}},
         {{1, "2026-06-04T07:00:00+02:00"}}},
        {"enabled at 07:00:20 for 07:00: rings at the next check", "Europe/Berlin", 7, 0, every,
         {{"2026-06-01T07:00:20+02:00", false}, {"2026-06-01T07:00:21+02:00"}},
         {{1, "2026-06-01T07:00:00+02:00"}}},
        {"switched off and on again in the same minute: no second report", "Europe/Berlin", 7, 0, every,
         {{"2026-06-01T07:00:05+02:00"}, {"2026-06-01T07:00:06+02:00", false}, {"2026-06-01T07:00:07+02:00"}},
         {{0, "2026-06-01T07:00:00+02:00"}}},
        {"spring gap: 02:30 rings when the clocks show 03:00", "Europe/Berlin", 2, 30, every,
         {{"2026-03-29T01:59:59+01:00"}, {"2026-03-29T03:00:00+02:00"}, {"2026-03-29T03:00:01+02:00"},
          {"2026-03-29T03:30:00+02:00"}, {"2026-03-29T03:31:00+02:00"}},
         {{1, "2026-03-29T03:00:00+02:00"}}},
        {"autumn repeat: 02:30 rings only the first time", "Europe/Berlin", 2, 30, every,
         {{"2026-10-25T02:29:59+02:00"}, {"2026-10-25T02:30:00+02:00"}, {"2026-10-25T02:59:59+02:00"},
          {"2026-10-25T02:00:00+01:00"}, {"2026-10-25T02:30:00+01:00"}, {"2026-10-25T02:31:00+01:00"}},
         {{1, "2026-10-25T02:30:00+02:00"}}},
        {"asleep through the whole repeated hour", "Europe/Berlin", 2, 30, every,
         {{"2026-10-25T01:00:00+02:00"}, {"2026-10-25T04:00:00+01:00"}},
         {{1, "2026-10-25T02:30:00+02:00"}}},
        // ICU's bundled zone data predates these changes; the offsets must
        // come from the system database.
        {"Mexico City after summer time was abolished", "America/Mexico_City", 7, 0, every,
         {{"2023-06-15T12:59:59Z"}, {"2023-06-15T13:00:00Z"}},
         {{1, "2023-06-15T07:00:00-06:00"}}},
        {"Almaty on UTC+5", "Asia/Almaty", 7, 0, every,
         {{"2025-01-10T01:59:59Z"}, {"2025-01-10T02:00:00Z"}},
         {{1, "2025-01-10T07:00:00+05:00"}}},
    };
}

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.what;
}

class AlarmScan : public testing::TestWithParam<ScanCase> {};

TEST_P(AlarmScan, ReportsEachDueOccurrenceOnce) {
    const ScanCase& c = GetParam();
    Recorder r(c.zone);
    ASSERT_TRUE(r.zones.current().isValid()) << c.zone;

    std::vector<std::pair<int, QDateTime>> got;
    for (std::size_t i = 0; i < c.checks.size(); ++i) {
        // Alarm 3 of four: the reported number is 1-based.
        std::vector<AlarmSettings> alarms(4);
        alarms[2] = alarmAt(c.hour, c.minute, c.weekdays);
        alarms[2].isEnabled = c.checks[i].enabled;
        const std::size_t before = r.reports.size();
        r.service.check(iso(c.checks[i].at), alarms);
        for (std::size_t k = before; k < r.reports.size(); ++k) {
            EXPECT_EQ(r.reports[k].number, 3);
            EXPECT_EQ(r.reports[k].now, iso(c.checks[i].at));
            got.emplace_back(int(i), r.reports[k].scheduled);
        }
    }

    std::vector<std::pair<int, QDateTime>> want;
    for (const auto& [index, at] : c.expected) want.emplace_back(index, iso(at));
    ASSERT_EQ(got.size(), want.size()) << c.what;
    for (std::size_t k = 0; k < got.size(); ++k) {
        EXPECT_EQ(got[k].first, want[k].first) << c.what;
        EXPECT_EQ(got[k].second, want[k].second)
            << c.what << ": got " << show(got[k].second) << ", want " << show(want[k].second);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, AlarmScan, testing::ValuesIn(scanCases()));

struct NextCase {
    const char* what;
    const char* zone;
    int hour;
    int minute;
    WeekdaySet weekdays;
    const char* after;
    const char* expected;
};

void PrintTo(const NextCase& c, std::ostream* os) {
    *os << c.what;
}

class NextOccurrence : public testing::TestWithParam<NextCase> {};

TEST_P(NextOccurrence, IsTheFirstOccurrenceStrictlyAfter) {
    const NextCase& c = GetParam();
    FixedTimeZoneProvider zones(c.zone);
    AlarmService service(zones);
    AlarmSettings alarm = alarmAt(c.hour, c.minute, c.weekdays);
    alarm.isEnabled = false;  // the answer does not depend on it
    const QDateTime got = service.nextOccurrence(alarm, iso(c.after));
    EXPECT_EQ(got, iso(c.expected)) << c.what << ": got " << show(got);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NextOccurrence,
    testing::Values(
        NextCase{"Monday-only asked on Monday at the alarm time: a week later", "Europe/Berlin", 7, 0,
                 WeekdaySet{kMonday}, "2026-06-01T07:00:00+02:00", "2026-06-08T07:00:00+02:00"},
        NextCase{"Monday-only asked on Sunday evening", "Europe/Berlin", 7, 0, WeekdaySet{kMonday},
                 "2026-05-31T20:00:00+02:00", "2026-06-01T07:00:00+02:00"},
        NextCase{"one-time alarm asked after today's time: tomorrow", "Europe/Berlin", 7, 0, WeekdaySet{},
                 "2026-06-01T07:00:00+02:00", "2026-06-02T07:00:00+02:00"},
        NextCase{"one-time alarm asked before today's time: today", "Europe/Berlin", 7, 0, WeekdaySet{},
                 "2026-06-01T06:59:59+02:00", "2026-06-01T07:00:00+02:00"},
        // The day the clocks spring forward is 23 hours long: adding a whole
        // day to Saturday's 07:00 would give 08:00 on Sunday.
        NextCase{"07:00 on the morning after the spring change", "Europe/Berlin", 7, 0, AlarmSettings::allWeekdays(),
                 "2026-03-28T12:00:00+01:00", "2026-03-29T07:00:00+02:00"},
        NextCase{"a time inside the gap: the end of the gap", "Europe/Berlin", 2, 30, AlarmSettings::allWeekdays(),
                 "2026-03-28T12:00:00+01:00", "2026-03-29T03:00:00+02:00"},
        NextCase{"the day after the gap is an ordinary day again", "Europe/Berlin", 2, 30,
                 AlarmSettings::allWeekdays(), "2026-03-29T03:00:00+02:00", "2026-03-30T02:30:00+02:00"},
        NextCase{"07:00 on the morning after the autumn change", "Europe/Berlin", 7, 0, AlarmSettings::allWeekdays(),
                 "2026-10-24T12:00:00+02:00", "2026-10-25T07:00:00+01:00"},
        NextCase{"a repeated time: its first occurrence", "Europe/Berlin", 2, 30, AlarmSettings::allWeekdays(),
                 "2026-10-24T12:00:00+02:00", "2026-10-25T02:30:00+02:00"},
        NextCase{"asked between the two 02:30s: the next day", "Europe/Berlin", 2, 30, AlarmSettings::allWeekdays(),
                 "2026-10-25T02:45:00+02:00", "2026-10-26T02:30:00+01:00"},
        NextCase{"Almaty's offset comes from the system database", "Asia/Almaty", 7, 0, AlarmSettings::allWeekdays(),
                 "2025-01-09T12:00:00+05:00", "2025-01-10T07:00:00+05:00"}));

// What the "next alarm" text promises must be what the scan rings: run the
// scan every 30 seconds from `after` and compare the first report.
TEST(AlarmService, ScanRingsAtTheAnnouncedNextOccurrence) {
    struct Case {
        const char* zone;
        int hour;
        int minute;
        WeekdaySet weekdays;
        const char* after;
    };
    const Case cases[] = {
        {"Europe/Berlin", 2, 30, AlarmSettings::allWeekdays(), "2026-03-28T12:00:00+01:00"},
        {"Europe/Berlin", 7, 0, AlarmSettings::allWeekdays(), "2026-03-28T12:00:00+01:00"},
        {"Europe/Berlin", 2, 30, AlarmSettings::allWeekdays(), "2026-10-24T12:00:00+02:00"},
        {"Europe/Berlin", 6, 15, WeekdaySet{kMonday}, "2026-06-02T00:00:00+02:00"},
        {"Australia/Lord_Howe", 2, 15, AlarmSettings::allWeekdays(), "2026-10-03T12:00:00+10:30"},
    };
    for (const Case& c : cases) {
        Recorder r(c.zone);
        std::vector<AlarmSettings> alarms{alarmAt(c.hour, c.minute, c.weekdays)};
        const QDateTime after = iso(c.after);
        const QDateTime announced = r.service.nextOccurrence(alarms[0], after);
        for (QDateTime t = after.addSecs(1); r.reports.empty() && t < after.addDays(8); t = t.addSecs(30)) {
            r.service.check(t, alarms);
        }
        ASSERT_EQ(r.reports.size(), 1u) << c.zone << " " << c.after;
        EXPECT_EQ(r.reports[0].scheduled, announced)
            << c.zone << " " << c.after << ": rang " << show(r.reports[0].scheduled) << ", announced "
            << show(announced);
    }
}

TEST(AlarmService, FollowsAChangeOfTheSystemZoneWithoutRestart) {
    Recorder r("Europe/Berlin");
    const std::vector<AlarmSettings> alarms{alarmAt(7, 0)};
    r.service.check(iso("2026-01-15T05:59:59Z"), alarms);
    r.service.check(iso("2026-01-15T06:00:00Z"), alarms);  // 07:00 in Berlin
    r.zones.setZone(QTimeZone("Europe/London"));
    r.service.check(iso("2026-01-15T06:59:59Z"), alarms);
    r.service.check(iso("2026-01-15T07:00:00Z"), alarms);  // 07:00 in London
    ASSERT_EQ(r.reports.size(), 2u);
    EXPECT_EQ(r.reports[0].scheduled, iso("2026-01-15T07:00:00+01:00"));
    EXPECT_EQ(r.reports[1].scheduled, iso("2026-01-15T07:00:00Z"));
}

TEST(AlarmService, VisitsAlarmsInOrderAndKeepsTheirStateApart) {
    Recorder r("UTC");
    std::vector<AlarmSettings> alarms{alarmAt(7, 0), alarmAt(6, 0), alarmAt(7, 0), alarmAt(7, 0)};
    alarms[3].isEnabled = false;
    r.service.check(iso("2026-06-01T05:00:00Z"), alarms);
    EXPECT_FALSE(r.service.lastTriggered(0).has_value());
    r.service.check(iso("2026-06-01T07:00:10Z"), alarms);
    ASSERT_EQ(r.reports.size(), 3u);
    EXPECT_EQ(r.reports[0].number, 1);
    EXPECT_EQ(r.reports[1].number, 2);
    EXPECT_EQ(r.reports[1].scheduled, iso("2026-06-01T06:00:00Z"));
    EXPECT_EQ(r.reports[2].number, 3);
    EXPECT_EQ(r.service.lastCheck(), iso("2026-06-01T07:00:10Z"));
    EXPECT_EQ(r.service.lastTriggered(0), iso("2026-06-01T07:00:00Z"));
    EXPECT_FALSE(r.service.lastTriggered(3).has_value());
}

TEST(AlarmService, RecordsOccurrencesWithoutACallbackAndSurvivesOneThatEditsTheList) {
    FixedTimeZoneProvider zones("UTC");
    AlarmService silent(zones);
    const std::vector<AlarmSettings> one{alarmAt(7, 0)};
    silent.check(iso("2026-06-01T07:00:30Z"), one);
    EXPECT_EQ(silent.lastTriggered(0), iso("2026-06-01T07:00:00Z"));

    // The model switches a one-time alarm off from the callback by replacing
    // its settings: the scan must not read freed alarms afterwards.
    AlarmService service(zones);
    std::vector<AlarmSettings> alarms{alarmAt(7, 0, WeekdaySet{}), alarmAt(7, 0)};
    std::vector<int> numbers;
    service.onTriggered = [&](int number, const AlarmSettings& alarm, const QDateTime&, const QDateTime&) {
        numbers.push_back(number);
        EXPECT_TRUE(alarm.isEnabled);
        std::vector<AlarmSettings> replaced = alarms;
        replaced[number - 1].isEnabled = false;
        alarms = std::move(replaced);
        alarms.shrink_to_fit();
    };
    service.check(iso("2026-06-01T07:00:30Z"), alarms);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2}));
    EXPECT_FALSE(alarms[0].isEnabled);
}

}  // namespace

TEST(AlarmService, OutOfRangeTimesFromABadFileDoNotOverflow) {
    Recorder r("Europe/Berlin");
    std::vector<AlarmSettings> alarms{alarmAt(0, 0), alarmAt(0, 0)};
    alarms[0].hour = std::numeric_limits<qint64>::max();
    alarms[1].minute = std::numeric_limits<qint64>::min();
    r.service.check(iso("2026-06-01T07:00:30+02:00"), alarms);
    const QDateTime next = r.service.nextOccurrence(alarms[0], iso("2026-06-01T07:00:30+02:00"));
    EXPECT_TRUE(next.isValid());
}
