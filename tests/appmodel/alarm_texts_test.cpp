// The alarm page's, the design page's and the quit warning's texts.

#include <gtest/gtest.h>

#include "appmodel/AlarmSummary.h"
#include "appmodel/ModelHarness.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

AlarmSettings alarmAt(qint64 hour, qint64 minute, WeekdaySet days) {
    AlarmSettings a;
    a.isEnabled = true;
    a.hour = hour;
    a.minute = minute;
    a.weekdays = days;
    return a;
}

}  // namespace

TEST(AlarmTexts, NextAlarmNamesTodayTomorrowOrTheWeekdayInTheLocalZone) {
    ModelHarness h;  // the computer is in Berlin, UTC+1 in March
    AppModel& m = h.make();
    const WeekdaySet everyDay = AlarmSettings::allWeekdays();
    struct Case {
        qint64 utc;  // the model's now
        AlarmSettings alarm;
        const char* text;
    } const cases[] = {
        // Tuesday 10 March 2026, 06:00 in Berlin.
        {utcMs(2026, 3, 10, 5, 0, 0), alarmAt(7, 0, everyDay), "Nächster Alarm: heute, 07:00\u00A0Uhr"},
        // 08:00: today's has passed.
        {utcMs(2026, 3, 10, 7, 0, 0), alarmAt(7, 0, everyDay), "Nächster Alarm: morgen, 07:00\u00A0Uhr"},
        {utcMs(2026, 3, 10, 7, 0, 0), alarmAt(7, 0, {4}), "Nächster Alarm: morgen, 07:00\u00A0Uhr"},
        {utcMs(2026, 3, 10, 7, 0, 0), alarmAt(7, 0, {6}), "Nächster Alarm: Freitag, 07:00\u00A0Uhr"},
        {utcMs(2026, 3, 10, 7, 0, 0), alarmAt(6, 5, {}), "Nächster Alarm: morgen, 06:05\u00A0Uhr"},
        // 00:30 on Wednesday in Berlin is still Tuesday in UTC.
        {utcMs(2026, 3, 10, 23, 30, 0), alarmAt(7, 0, everyDay), "Nächster Alarm: heute, 07:00\u00A0Uhr"},
        {utcMs(2026, 3, 10, 23, 30, 0), alarmAt(0, 15, everyDay), "Nächster Alarm: morgen, 00:15\u00A0Uhr"},
    };
    for (const Case& c : cases) {
        h.clock.setWall(c.utc);
        m.tick();
        EXPECT_EQ(m.nextAlarmText(c.alarm), QString::fromUtf8(c.text)) << c.text;
    }
    AlarmSettings off = alarmAt(7, 0, everyDay);
    off.isEnabled = false;
    EXPECT_EQ(m.nextAlarmText(off), QStringLiteral("Deaktiviert"));
}

TEST(AlarmTexts, RepeatTextInTheOrderOfTheLocalesWeek) {
    const auto mondayFirst = weekdaySymbols(icu::Locale("de_DE"));
    const auto sundayFirst = weekdaySymbols(icu::Locale("de_US"));
    ASSERT_EQ(mondayFirst.front().weekday, 2);
    ASSERT_EQ(sundayFirst.front().weekday, 1);
    struct Case {
        WeekdaySet days;
        const char* monday;  // a week starting on Monday
        const char* sunday;  // a week starting on Sunday
    } const cases[] = {
        {AlarmSettings::allWeekdays(), "Täglich", "Täglich"},
        {{2, 3, 4, 5, 6}, "Montag bis Freitag", "Montag bis Freitag"},
        {{1, 7}, "Am Wochenende", "Am Wochenende"},
        {{},
         "Einmalig – schaltet sich nach dem Klingeln aus",
         "Einmalig – schaltet sich nach dem Klingeln aus"},
        {{2, 4, 6}, "Mo, Mi, Fr", "Mo, Mi, Fr"},
        {{1, 4}, "Mi, So", "So, Mi"},
        {{1, 2, 3, 4, 5, 6}, "Mo, Di, Mi, Do, Fr, So", "So, Mo, Di, Mi, Do, Fr"},
        {{2, 3, 4, 5, 6, 7}, "Mo, Di, Mi, Do, Fr, Sa", "Mo, Di, Mi, Do, Fr, Sa"},
        {{7}, "Sa", "Sa"},
    };
    for (const Case& c : cases) {
        AlarmSettings alarm;
        alarm.weekdays = c.days;
        EXPECT_EQ(AppModel::repeatText(alarm, mondayFirst), QString::fromUtf8(c.monday)) << c.monday;
        EXPECT_EQ(AppModel::repeatText(alarm, sundayFirst), QString::fromUtf8(c.sunday)) << c.sunday;
    }
}

TEST(AlarmTexts, RadioTitleByModeAndPresence) {
    using Mode = AlarmSettings::RadioMode;
    struct Case {
        Mode mode;
        std::optional<QString> name;
        std::optional<QString> uuid;
        const char* title;
    } const cases[] = {
        {Mode::randomFavorite, QStringLiteral("Radio Eins"), std::nullopt, "Zufälliger Favorit"},
        {Mode::lastPlayed, std::nullopt, QStringLiteral("u-1"), "Zuletzt gehörter Sender"},
        {Mode::station, QStringLiteral("Radio Eins"), QStringLiteral("u-1"), "Radio Eins"},
        {Mode::station, std::nullopt, QStringLiteral("u-1"), "u-1"},
        {Mode::station, QString(), QStringLiteral("u-1"), ""},  // present, though empty
        {Mode::station, std::nullopt, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        AlarmSettings alarm;
        alarm.radioMode = c.mode;
        alarm.radioStationName = c.name;
        alarm.radioStationUUID = c.uuid;
        EXPECT_EQ(AppModel::radioModeTitle(alarm), QString::fromUtf8(c.title)) << c.title;
    }
}

TEST(AlarmTexts, BrightnessAndDuskStatus) {
    EXPECT_EQ(AppModel::brightnessText(0.456, ThemeMode::dusk), QStringLiteral("Aktuelle Helligkeit: 46\u00A0%"));
    EXPECT_EQ(AppModel::brightnessText(0.456, ThemeMode::dark),
              QStringLiteral("Helligkeit bei aktivem Dämmerungsmodus: 46\u00A0%"));
    EXPECT_EQ(AppModel::brightnessText(0.0, ThemeMode::dusk), QStringLiteral("Aktuelle Helligkeit: 0\u00A0%"));
    EXPECT_EQ(AppModel::brightnessText(1.0, ThemeMode::light),
              QStringLiteral("Helligkeit bei aktivem Dämmerungsmodus: 100\u00A0%"));

    ModelHarness h;
    AppModel& m = h.make();
    EXPECT_TRUE(m.brightnessText().startsWith(QStringLiteral("Helligkeit bei aktivem Dämmerungsmodus: ")));
    m.editSettings([](AppSettings& s) { s.theme = ThemeMode::dusk; });
    EXPECT_EQ(m.brightnessText(), AppModel::brightnessText(m.lastDusk().brightness, ThemeMode::dusk));
    EXPECT_FALSE(m.duskStatusText().isEmpty());
    EXPECT_EQ(m.duskStatusText(), m.lastDusk().status);
}

TEST(AlarmTexts, QuitSummaryListsEnabledAlarmsThenArmedCountdowns) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.alarms[0] = alarmAt(7, 0, AlarmSettings::allWeekdays());
    s.alarms[2] = alarmAt(21, 15, {2});
    s.countdowns[0].durationSeconds = 60;
    s.countdowns[1].durationSeconds = 300;
    h.writeSettings(s);
    AppModel& m = h.make();

    m.countdownStart(1);
    h.advance(2.0);
    m.toggleCountdown(1);  // paused at 00:04:58
    m.toggleStopwatch(0);  // stopwatches are no reason to stay
    const QStringList expected{QStringLiteral("Wecker 1 um 07:00\u00A0Uhr"),
                               QStringLiteral("Wecker 3 um 21:15\u00A0Uhr"),
                               QStringLiteral("Countdown 2 (00:04:58)")};
    EXPECT_EQ(m.alarmSummary(), expected);
    EXPECT_EQ(alarmSummary(m), expected);

    m.countdownStart(0);  // a running one is listed too, before the second
    EXPECT_EQ(m.alarmSummary().size(), 4);
    EXPECT_EQ(m.alarmSummary()[2], QStringLiteral("Countdown 1 (00:01:00)"));

    m.resetCountdown(0);
    m.resetCountdown(1);
    m.editSettings([](AppSettings& next) {
        for (AlarmSettings& a : next.alarms) a.isEnabled = false;
    });
    EXPECT_TRUE(m.alarmSummary().isEmpty());
}
