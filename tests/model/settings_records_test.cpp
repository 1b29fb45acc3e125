#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QSet>
#include <cmath>
#include <limits>
#include <vector>

#include "model/Settings.h"

using namespace corvane;
using namespace Qt::StringLiterals;

namespace {

template <typename E>
void expectTextValues(const std::vector<const char*>& texts) {
    const auto& cases = allCases<E>();
    ASSERT_EQ(cases.size(), texts.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(rawValue(cases[i]), QString::fromLatin1(texts[i]));
        EXPECT_EQ(fromRawValue<E>(QString::fromLatin1(texts[i])), cases[i]);
    }
}

}  // namespace

TEST(SettingsEnums, TextValuesInDeclarationOrderAndBack) {
    expectTextValues<ClockDisplayMode>({"Digital", "Analog"});
    expectTextValues<ThemeMode>({"Dark", "Light", "System", "Dusk"});
    expectTextValues<DialStyle>(
        {"Classic", "Minimal", "Roman", "Modern", "Dots", "Elegant", "Gradient", "Night"});
    expectTextValues<SoundSource>({"BuiltIn", "System", "CustomFile"});
    expectTextValues<DuskSource>({"Schedule", "Sun"});
    expectTextValues<AlarmSettings::RadioMode>({"randomFavorite", "station", "lastPlayed"});
}

TEST(SettingsEnums, ParsingIsExact) {
    for (const char* text : {"classic", "CLASSIC", " Classic", "Classic ", "", "Klassisch"})
        EXPECT_FALSE(fromRawValue<DialStyle>(QString::fromUtf8(text))) << text;
    EXPECT_FALSE(fromRawValue<AlarmSettings::RadioMode>(u"Station"));
}

TEST(SettingsEnums, DialStyleDisplayNames) {
    const std::vector<QString> names{u"Klassisch"_s, u"Minimal"_s, u"Römisch"_s,     u"Modern"_s,
                                     u"Punkte"_s,    u"Elegant"_s, u"Farbverlauf"_s, u"Leuchtziffern"_s};
    std::vector<QString> actual;
    for (DialStyle style : allCases<DialStyle>()) actual.push_back(displayName(style));
    EXPECT_EQ(actual, names);
}

TEST(SettingsDefaults, FreshValue) {
    const AppSettings a = AppSettings::defaults();
    const AppSettings b = AppSettings::defaults();
    ASSERT_EQ(a.clocks.size(), 1u);
    ASSERT_EQ(b.clocks.size(), 1u);
    EXPECT_NE(a.clocks[0].id, b.clocks[0].id);
    EXPECT_EQ(a.clocks[0].id, a.clocks[0].id.toUpper());
    EXPECT_EQ(a.clocks[0].id.size(), 36);
    EXPECT_TRUE(a.clocks[0].timeZoneID.isEmpty());
    EXPECT_TRUE(a.clocks[0].name.isEmpty());
    EXPECT_FALSE(a.clocks[0].dialStyle || a.clocks[0].dialImagePath || a.clocks[0].faceColor);

    // This computer's sans-serif, and a family it really has.
    EXPECT_EQ(a.fontFamily, AppSettings::defaultFontFamily());
    EXPECT_TRUE(QFontDatabase::families().contains(a.fontFamily)) << a.fontFamily.toStdString();
    EXPECT_EQ(a.fontSize, 120);
    EXPECT_EQ(a.customBackgroundColor, u"#1F3A5F");
    EXPECT_EQ(a.displayMode, ClockDisplayMode::analog);
    EXPECT_EQ(a.theme, ThemeMode::system);
    EXPECT_TRUE(a.useSystemUserName && a.showGreeting && a.showDate && a.smoothSecondHand);
    EXPECT_FALSE(a.useCustomDial || a.useCustomBackground || a.topmost || a.showWorldMap);
    EXPECT_FALSE(a.windowLeft || a.windowTop || a.windowWidth || a.windowHeight || a.dialImagePath);
    EXPECT_EQ(a.dusk, DuskSettings{});
    EXPECT_EQ(a.alarms, AlarmSettings::defaultAlarms());
    EXPECT_EQ(a.countdowns, CountdownSettings::defaultCountdowns());

    // Apart from the clock identifier two fresh values are the same.
    AppSettings c = b;
    c.clocks[0].id = a.clocks[0].id;
    EXPECT_EQ(a, c);
}

TEST(SettingsDefaults, AlarmAndCountdownSlots) {
    struct Slot {
        qint64 hour, minute;
        const char* sound;
    };
    const std::vector<Slot> alarmSlots{
        // The freedesktop sound theme's files: the defaults exist on a Linux desktop.
        {7, 0, "alarm-clock-elapsed.oga"}, {8, 30, "bell.oga"}, {6, 30, "message.oga"},
        {9, 0, "phone-incoming-call.oga"}};
    const auto& alarms = AlarmSettings::defaultAlarms();
    ASSERT_EQ(alarms.size(), alarmSlots.size());
    EXPECT_EQ(&alarms, &AlarmSettings::defaultAlarms());  // built once
    for (std::size_t i = 0; i < alarms.size(); ++i) {
        const AlarmSettings& a = alarms[i];
        EXPECT_EQ(a.hour, alarmSlots[i].hour);
        EXPECT_EQ(a.minute, alarmSlots[i].minute);
        EXPECT_EQ(a.sound, (SoundSettings{
                               SoundSource::system, QString::fromLatin1(alarmSlots[i].sound), {}, 80, true}));
        EXPECT_FALSE(a.isEnabled || a.wakeWithRadio || a.radioStationUUID || a.radioStationName);
        EXPECT_EQ(a.weekdays, AlarmSettings::allWeekdays());
        EXPECT_EQ(a.radioMode, AlarmSettings::RadioMode::randomFavorite);
        EXPECT_EQ(a.fadeSeconds, 0);
        EXPECT_EQ(a.radioVolume, 100);
    }

    const auto& countdowns = CountdownSettings::defaultCountdowns();
    ASSERT_EQ(countdowns.size(), 2u);
    EXPECT_EQ(countdowns[0],
              (CountdownSettings{900, SoundSettings{SoundSource::system, u"complete.oga"_s, {}, 80, false}}));
    EXPECT_EQ(countdowns[1],
              (CountdownSettings{300, SoundSettings{SoundSource::system, u"alarm-clock-elapsed.oga"_s, {}, 80, false}}));
}

TEST(AlarmSettings, UsesRadio) {
    using M = AlarmSettings::RadioMode;
    struct Case {
        bool wake;
        M mode;
        std::optional<QString> station;
        bool expected;
    };
    const std::vector<Case> cases{
        {false, M::randomFavorite, {}, false}, {false, M::station, u"abc"_s, false},
        {true, M::randomFavorite, {}, true},   {true, M::lastPlayed, {}, true},
        {true, M::station, {}, false},         {true, M::station, u""_s, false},
        {true, M::station, u"abc"_s, true},
    };
    for (const Case& c : cases) {
        AlarmSettings alarm;
        alarm.wakeWithRadio = c.wake;
        alarm.radioMode = c.mode;
        alarm.radioStationUUID = c.station;
        EXPECT_EQ(alarm.usesRadio(), c.expected) << c.wake << " " << rawValue(c.mode).toStdString() << " "
                                                 << c.station.value_or(u"<none>"_s).toStdString();
    }
}

TEST(WeekdaySet, IsAValueSetOfOneToSeven) {
    WeekdaySet days{3, 1, 3, 0, 8, -1, 7};
    EXPECT_EQ(days.size(), 3u);
    std::vector<int> listed(days.begin(), days.end());
    EXPECT_EQ(listed, (std::vector<int>{1, 3, 7}));
    EXPECT_TRUE(days.contains(3));
    EXPECT_FALSE(days.contains(0) || days.contains(8) || days.contains(2));
    EXPECT_EQ(days, (WeekdaySet{7, 3, 1}));
    days.erase(3);
    EXPECT_NE(days, (WeekdaySet{7, 3, 1}));
    EXPECT_TRUE(WeekdaySet{}.empty());
    EXPECT_EQ(WeekdaySet{}.begin(), WeekdaySet{}.end());
    EXPECT_EQ(AlarmSettings::allWeekdays().size(), 7u);
}

TEST(ClockEntry, TimeZoneFallsBackToTheSystemZone) {
    ClockEntry clock;
    EXPECT_EQ(clock.timeZone(), QTimeZone::systemTimeZone());
    clock.timeZoneID = u"Mars/Olympus_Mons"_s;
    EXPECT_EQ(clock.timeZone(), QTimeZone::systemTimeZone());
    clock.timeZoneID = u"Asia/Tokyo"_s;
    EXPECT_EQ(clock.timeZone().id(), QByteArray("Asia/Tokyo"));
    // A link of the zone database is a zone the system knows.
    clock.timeZoneID = u"Europe/Kiev"_s;
    EXPECT_TRUE(clock.timeZone().isValid());
    EXPECT_EQ(clock.timeZone().id(), QByteArray("Europe/Kiev"));
}

TEST(DuskSettings, NotANumberCoordinateEqualsItself) {
    DuskSettings a;
    a.latitude = std::numeric_limits<double>::quiet_NaN();
    DuskSettings b = a;
    EXPECT_EQ(a, b);
    b.latitude = 0;
    EXPECT_NE(a, b);
    b = a;
    b.longitude = std::numeric_limits<double>::infinity();
    EXPECT_NE(a, b);
}

TEST(Setters, ClampOnAssignment) {
    DuskSettings dusk;
    dusk.setDayStartHour(24);
    dusk.setDayStartMinute(-1);
    dusk.setNightStartHour(-5);
    dusk.setNightStartMinute(60);
    dusk.setTransitionMinutes(241);
    EXPECT_EQ(dusk.dayStartHour, 23);
    EXPECT_EQ(dusk.dayStartMinute, 0);
    EXPECT_EQ(dusk.nightStartHour, 0);
    EXPECT_EQ(dusk.nightStartMinute, 59);
    EXPECT_EQ(dusk.transitionMinutes, 240);

    AlarmSettings alarm;
    alarm.setFadeSeconds(601);
    EXPECT_EQ(alarm.fadeSeconds, 600);
    alarm.setFadeSeconds(-3);
    EXPECT_EQ(alarm.fadeSeconds, 0);
    alarm.setFadeSeconds(42);
    EXPECT_EQ(alarm.fadeSeconds, 42);
}

// --------------------------------------------------------------------------
// normalize()

TEST(Normalize, FontFamily) {
    struct Case {
        QString in, out;
    };
    const QString here = AppSettings::defaultFontFamily();
    const QStringList installed = QFontDatabase::families();
    ASSERT_FALSE(installed.isEmpty());
    const QString otherInstalled = installed.back();
    std::vector<Case> cases{
        {u""_s, here},
        {u"   "_s, here},
        {u" \t "_s, here},
        {u"\n"_s, here},
        {u" \r\n\t"_s, here},
        {u" Avenir Next "_s, u" Avenir Next "_s},  // kept as typed, blanks included
        {u"Menlo\n"_s, u"Menlo\n"_s},
        {u"Futura"_s, u"Futura"_s},  // a user's choice stays, installed or not
        {otherInstalled, otherInstalled},
        {u"helvetica neue"_s, u"helvetica neue"_s},
    };
    // The other system's default reads as this one's, unless it is installed.
    if (!installed.contains(u"Helvetica Neue"_s)) cases.push_back({u"Helvetica Neue"_s, here});
    for (const Case& c : cases) {
        AppSettings s = AppSettings::defaults();
        s.fontFamily = c.in;
        s.normalizeFontFamily();
        EXPECT_EQ(s.fontFamily, c.out) << "normalizeFontFamily of '" << c.in.toStdString() << "'";
        s.fontFamily = c.in;
        s.normalize();
        EXPECT_EQ(s.fontFamily, c.out) << "normalize of '" << c.in.toStdString() << "'";
    }
}

TEST(Normalize, FontSize) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<double, double>> cases{
        {23.4, 24},   {320.6, 320}, {100.5, 101}, {100.4, 100}, {24, 24},    {320, 320},
        {-100.5, 24}, {0, 24},      {1e300, 320}, {inf, 120},   {-inf, 120}, {std::nan(""), 120},
    };
    for (const auto& [in, out] : cases) {
        AppSettings s = AppSettings::defaults();
        s.fontSize = in;
        s.normalize();
        EXPECT_EQ(s.fontSize, out) << in;
    }
}

TEST(Normalize, BackgroundColour) {
    const std::vector<std::pair<QString, QString>> cases{
        {u"1f3a5f"_s, u"1f3a5f"_s},  // parseable: stays as written
        {u"  #abc "_s, u"  #abc "_s}, {u"blue"_s, u"#1F3A5F"_s},
        {u""_s, u"#1F3A5F"_s},        {u"#12345"_s, u"#1F3A5F"_s},
    };
    for (const auto& [in, out] : cases) {
        AppSettings s = AppSettings::defaults();
        s.customBackgroundColor = in;
        s.normalize();
        EXPECT_EQ(s.customBackgroundColor, out) << in.toStdString();
    }
}

TEST(Normalize, AlarmAndCountdownSlots) {
    const auto& defaultAlarms = AlarmSettings::defaultAlarms();
    AlarmSettings own;
    own.hour = 5;
    own.isEnabled = true;

    AppSettings s = AppSettings::defaults();
    s.alarms = {own, own, own, own, own};
    s.countdowns = {CountdownSettings{1, {}}, CountdownSettings{2, {}}, CountdownSettings{3, {}}};
    s.normalize();
    EXPECT_EQ(s.alarms, std::vector<AlarmSettings>(4, own));
    ASSERT_EQ(s.countdowns.size(), 2u);
    EXPECT_EQ(s.countdowns[1].durationSeconds, 2);

    s.alarms = {own};
    s.countdowns = {};
    s.normalize();
    EXPECT_EQ(s.alarms,
              (std::vector<AlarmSettings>{own, defaultAlarms[1], defaultAlarms[2], defaultAlarms[3]}));
    EXPECT_EQ(s.countdowns, CountdownSettings::defaultCountdowns());
}

TEST(Normalize, ClockListLengthAndIdentifiers) {
    AppSettings s = AppSettings::defaults();
    s.clocks.clear();
    s.normalize();
    ASSERT_EQ(s.clocks.size(), 1u);
    EXPECT_FALSE(s.clocks[0].id.isEmpty());
    EXPECT_TRUE(s.clocks[0].timeZoneID.isEmpty());

    s.clocks.clear();
    for (int i = 0; i < 30; ++i) s.clocks.push_back(ClockEntry{QString::number(i), {}, {}, {}, {}, {}});
    s.normalize();
    ASSERT_EQ(s.clocks.size(), 24u);
    EXPECT_EQ(s.clocks.back().id, u"23");

    // The first holder of an id keeps it, also an empty one; later holders
    // get fresh, different identifiers.
    s.clocks = {ClockEntry{u"A"_s, u"Asia/Tokyo"_s, u"eins"_s, {}, {}, {}},
                ClockEntry{u"A"_s, {}, {}, {}, {}, {}},
                ClockEntry{u""_s, {}, {}, {}, {}, {}},
                ClockEntry{u"A"_s, {}, {}, {}, {}, {}},
                ClockEntry{u""_s, {}, {}, {}, {}, {}},
                ClockEntry{u"B"_s, {}, {}, {}, {}, {}}};
    s.normalize();
    ASSERT_EQ(s.clocks.size(), 6u);
    EXPECT_EQ(s.clocks[0].id, u"A");
    EXPECT_EQ(s.clocks[0].name, u"eins");
    EXPECT_EQ(s.clocks[2].id, u"");
    EXPECT_EQ(s.clocks[5].id, u"B");
    QSet<QString> ids;
    for (const ClockEntry& c : s.clocks) ids.insert(c.id);
    EXPECT_EQ(ids.size(), 6);
}

TEST(Normalize, LeavesARepairedValueAlone) {
    AppSettings s = AppSettings::defaults();
    s.fontFamily = u" Avenir "_s;
    s.fontSize = 48;
    s.alarms[2].hour = 99;  // not clamped here: reading clamps
    s.dusk.transitionMinutes = 1000;
    const AppSettings before = s;
    s.normalize();
    EXPECT_EQ(s, before);
}
