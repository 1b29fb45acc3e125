#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "model/SettingsCodec.h"

using namespace corvane;
using namespace Qt::StringLiterals;

namespace {

using Json = nlohmann::ordered_json;

AppSettings decodeOrFail(const std::string& json, bool* dropped = nullptr) {
    QString error;
    const auto result = decodeSettings(QByteArray::fromStdString(json), &error);
    EXPECT_TRUE(result) << json << ": " << error.toStdString();
    if (!result) return AppSettings::defaults();
    if (dropped) *dropped = result->droppedUnreadableKey;
    return result->settings;
}

Json encodedJson(const AppSettings& s) {
    return Json::parse(encodeSettings(s).toStdString());
}

// A value with every optional field present and nothing at its default.
AppSettings fullSettings() {
    AppSettings s = AppSettings::defaults();
    s.userName = u"Jördis \"J\" Ünal / 東京"_s;
    s.useSystemUserName = false;
    s.showGreeting = false;
    s.showDate = false;
    s.displayMode = ClockDisplayMode::digital;
    s.fontFamily = u" Avenir Next "_s;
    s.fontSize = 64;
    s.dialStyle = DialStyle::night;
    s.useCustomDial = true;
    s.dialImagePath = u"/home/u/.local/share/Corvane/Medien/zifferblatt-1.png"_s;
    s.smoothSecondHand = false;
    s.theme = ThemeMode::dusk;
    s.useCustomBackground = true;
    s.customBackgroundColor = u"abc"_s;
    s.dusk = DuskSettings{DuskSource::sun, 6, 15, 20, 45, 90, -33.8688, 151.2093};
    s.clocks = {
        ClockEntry{u"A1"_s, u"Asia/Tokyo"_s, u"Tokio"_s, DialStyle::roman, u"/tmp/d.png"_s, u"#FFAA00"_s},
        ClockEntry{u"B2"_s, u""_s, u""_s, {}, {}, {}}};
    AlarmSettings alarm;
    alarm.isEnabled = true;
    alarm.hour = 23;
    alarm.minute = 59;
    alarm.sound = SoundSettings{SoundSource::customFile, u"Ping.aiff"_s, u"/m/wecker.mp3"_s, 35, false};
    alarm.weekdays = WeekdaySet{2, 3, 4, 5, 6};
    alarm.wakeWithRadio = true;
    alarm.radioStationUUID = u"9617a958-0601-11e8-ae97-52543be04c81"_s;
    alarm.radioStationName = u"Radio Eins"_s;
    alarm.radioMode = AlarmSettings::RadioMode::lastPlayed;
    alarm.fadeSeconds = 600;
    alarm.radioVolume = 1;
    AlarmSettings once = alarm;
    once.weekdays = {};
    s.alarms = {alarm, once, AlarmSettings::defaultAlarms()[2], alarm};
    s.countdowns = {
        CountdownSettings{86399, SoundSettings{SoundSource::builtIn, u"Hero.aiff"_s, {}, 0, true}},
        CountdownSettings{0, SoundSettings{SoundSource::customFile, u"x"_s, u"/m/c.wav"_s, 100, false}}};
    s.topmost = true;
    s.showWorldMap = true;
    s.windowLeft = -1280.5;
    s.windowTop = 0;
    s.windowWidth = 640;
    s.windowHeight = 480.25;
    return s;
}

}  // namespace

TEST(SettingsCodec, FullValueRoundTrips) {
    const AppSettings s = fullSettings();
    const QByteArray bytes = encodeSettings(s);
    ASSERT_FALSE(bytes.isEmpty());
    const auto back = decodeSettings(bytes);
    ASSERT_TRUE(back);
    EXPECT_FALSE(back->droppedUnreadableKey);
    EXPECT_EQ(back->settings, s);
    EXPECT_EQ(encodeSettings(back->settings), bytes);

    // Pretty-printed, and slashes stay as they are.
    EXPECT_TRUE(bytes.contains("\n  \"UserName\""));
    EXPECT_TRUE(bytes.contains("\"/tmp/d.png\""));
}

TEST(SettingsCodec, KeysInWrittenOrderAndAbsentOptionalsLeftOut) {
    const Json full = encodedJson(fullSettings());
    std::vector<std::string> keys;
    for (const auto& [key, value] : full.items()) keys.push_back(key);
    const std::vector<std::string> expected{"UserName",
                                            "UseSystemUserName",
                                            "ShowGreeting",
                                            "ShowDate",
                                            "DisplayMode",
                                            "FontFamily",
                                            "FontSize",
                                            "DialStyle",
                                            "UseCustomDial",
                                            "DialImagePath",
                                            "SmoothSecondHand",
                                            "Theme",
                                            "UseCustomBackground",
                                            "CustomBackgroundColor",
                                            "Dusk",
                                            "Clocks",
                                            "Alarms",
                                            "Countdowns",
                                            "ShowWorldMap",
                                            "Topmost",
                                            "WindowLeft",
                                            "WindowTop",
                                            "WindowWidth",
                                            "WindowHeight"};
    EXPECT_EQ(keys, expected);

    auto keysOf = [](const Json& j) {
        std::vector<std::string> k;
        for (const auto& [key, value] : j.items()) k.push_back(key);
        return k;
    };
    EXPECT_EQ(keysOf(full["Clocks"][0]), (std::vector<std::string>{"Id", "TimeZone", "Name", "DialStyle",
                                                                   "DialImagePath", "FaceColor"}));
    EXPECT_EQ(keysOf(full["Alarms"][0]),
              (std::vector<std::string>{"IsEnabled", "Hour", "Minute", "Sound", "Weekdays", "WakeWithRadio",
                                        "RadioStationUUID", "RadioStationName", "RadioMode", "FadeSeconds",
                                        "RadioVolume"}));
    EXPECT_EQ(keysOf(full["Alarms"][0]["Sound"]),
              (std::vector<std::string>{"Source", "SystemSoundName", "CustomFilePath", "Volume", "Loop"}));
    EXPECT_EQ(keysOf(full["Countdowns"][0]), (std::vector<std::string>{"DurationSeconds", "Sound"}));
    EXPECT_EQ(keysOf(full["Dusk"]),
              (std::vector<std::string>{"Source", "DayStartHour", "DayStartMinute", "NightStartHour",
                                        "NightStartMinute", "TransitionMinutes", "Latitude", "Longitude"}));
    EXPECT_EQ(full["Alarms"][0]["Weekdays"], Json::parse("[2,3,4,5,6]"));
    EXPECT_EQ(full["Alarms"][1]["Weekdays"], Json::array());
    EXPECT_EQ(full["Alarms"][0]["RadioMode"], "lastPlayed");

    const QByteArray plain = encodeSettings(AppSettings::defaults());
    EXPECT_FALSE(plain.contains("null"));
    for (const char* key : {"DialImagePath", "WindowLeft", "WindowTop", "WindowWidth", "WindowHeight",
                            "CustomFilePath", "RadioStationUUID", "RadioStationName", "FaceColor"})
        EXPECT_FALSE(plain.contains(key)) << key;
    EXPECT_FALSE(encodedJson(AppSettings::defaults())["Clocks"][0].contains("DialStyle"));
}

TEST(SettingsCodec, NonFiniteNumbers) {
    AppSettings s = AppSettings::defaults();
    s.dusk.latitude = std::numeric_limits<double>::quiet_NaN();
    s.dusk.longitude = -std::numeric_limits<double>::infinity();
    s.windowLeft = std::numeric_limits<double>::infinity();  // the window code could not use it
    s.windowTop = 10;
    const Json j = encodedJson(s);
    EXPECT_EQ(j["Dusk"]["Latitude"], "NaN");
    EXPECT_EQ(j["Dusk"]["Longitude"], "-Infinity");
    EXPECT_FALSE(j.contains("WindowLeft"));
    EXPECT_EQ(j["WindowTop"], 10.0);

    const AppSettings back = decodeOrFail(j.dump());
    EXPECT_TRUE(std::isnan(back.dusk.latitude));
    EXPECT_EQ(back.dusk.longitude, -std::numeric_limits<double>::infinity());
    EXPECT_EQ(back.dusk, s.dusk);
    EXPECT_FALSE(back.windowLeft);
}

// One JSON input, what it reads as, and whether a present key was dropped.
TEST(SettingsCodec, TolerantReading) {
    const auto& defaultAlarms = AlarmSettings::defaultAlarms();
    using M = AlarmSettings::RadioMode;
    struct Case {
        const char* json;
        std::function<void(const AppSettings&)> check;
        bool dropped;
    };
    const std::vector<Case> cases{
        {R"({})",
         [&](const AppSettings& s) {
             AppSettings expected = AppSettings::defaults();
             ASSERT_EQ(s.clocks.size(), 1u);
             EXPECT_FALSE(s.clocks[0].id.isEmpty());
             expected.clocks[0].id = s.clocks[0].id;
             EXPECT_EQ(s, expected);
         },
         false},
        {R"({"Unknown": {"Deep": [1, 2, {"x": null}]}, "Theme": "Light"})",
         [](const AppSettings& s) { EXPECT_EQ(s.theme, ThemeMode::light); }, false},
        // Wrong JSON types and unknown cases keep the default, other keys still read.
        {R"({"Theme": "Blue", "ShowDate": false})",
         [](const AppSettings& s) {
             EXPECT_EQ(s.theme, ThemeMode::system);
             EXPECT_FALSE(s.showDate);
         },
         true},
        {R"({"Theme": "light"})", [](const AppSettings& s) { EXPECT_EQ(s.theme, ThemeMode::system); }, true},
        {R"({"ShowDate": 0, "Topmost": "true", "ShowGreeting": null})",
         [](const AppSettings& s) { EXPECT_TRUE(s.showDate && !s.topmost && s.showGreeting); }, true},
        {R"({"UserName": 42, "FontFamily": ["Menlo"]})",
         [](const AppSettings& s) { EXPECT_TRUE(s.userName.isEmpty() && s.fontFamily == AppSettings::defaultFontFamily()); },
         true},
        {R"({"FontSize": 17.2})", [](const AppSettings& s) { EXPECT_EQ(s.fontSize, 24); }, false},
        {R"({"FontSize": "Infinity"})", [](const AppSettings& s) { EXPECT_EQ(s.fontSize, 120); }, false},
        {R"({"FontSize": "120"})", [](const AppSettings& s) { EXPECT_EQ(s.fontSize, 120); }, true},
        {R"({"CustomBackgroundColor": "blue", "FontFamily": "\n"})",
         [](const AppSettings& s) {
             EXPECT_EQ(s.customBackgroundColor, u"#1F3A5F");
             EXPECT_EQ(s.fontFamily, AppSettings::defaultFontFamily());
         },
         false},
        {R"({"DialImagePath": null, "WindowLeft": null})",
         [](const AppSettings& s) { EXPECT_FALSE(s.dialImagePath || s.windowLeft); }, false},
        {R"({"WindowLeft": "NaN", "WindowTop": "Infinity", "WindowWidth": "-Infinity", "WindowHeight": 300})",
         [](const AppSettings& s) {
             EXPECT_FALSE(s.windowLeft || s.windowTop || s.windowWidth);
             EXPECT_EQ(s.windowHeight, 300.0);
         },
         false},
        {R"({"WindowLeft": "left", "WindowTop": 12})",
         [](const AppSettings& s) {
             EXPECT_FALSE(s.windowLeft);
             EXPECT_EQ(s.windowTop, 12.0);
         },
         true},
        // Clamps.
        {R"({"Alarms": [{"Hour": 25, "Minute": -1, "FadeSeconds": 601, "RadioVolume": 0,
                         "Sound": {"Volume": -5}}],
             "Dusk": {"TransitionMinutes": 500, "DayStartHour": -3, "NightStartMinute": 60},
             "Countdowns": [{"DurationSeconds": -1}, {"DurationSeconds": 86400}]})",
         [](const AppSettings& s) {
             const AlarmSettings& a = s.alarms[0];
             EXPECT_EQ(a.hour, 23);
             EXPECT_EQ(a.minute, 0);
             EXPECT_EQ(a.fadeSeconds, 600);
             EXPECT_EQ(a.radioVolume, 1);
             EXPECT_EQ(a.sound.volume, 0);
             EXPECT_EQ(s.dusk.transitionMinutes, 240);
             EXPECT_EQ(s.dusk.dayStartHour, 0);
             EXPECT_EQ(s.dusk.nightStartMinute, 59);
             EXPECT_EQ(s.countdowns[0].durationSeconds, 0);
             EXPECT_EQ(s.countdowns[1].durationSeconds, 86399);
         },
         false},
        // An alarm object reads its own defaults, not its slot's; the list is then filled.
        {R"({"Alarms": [{}]})",
         [&](const AppSettings& s) {
             ASSERT_EQ(s.alarms.size(), 4u);
             EXPECT_EQ(s.alarms[0], AlarmSettings{});
             EXPECT_EQ(s.alarms[0].sound,
                       (SoundSettings{SoundSource::system, u"alarm-clock-elapsed.oga"_s, {}, 80, true}));
             EXPECT_EQ(s.alarms[1], defaultAlarms[1]);
             EXPECT_EQ(s.alarms[3], defaultAlarms[3]);
         },
         false},
        // A "Sound" without "Source" is the built-in tone.
        {R"({"Alarms": [{"Sound": {}}], "Countdowns": [{"Sound": {"SystemSoundName": "Ping.aiff"}}, {}]})",
         [](const AppSettings& s) {
             EXPECT_EQ(s.alarms[0].sound,
                       (SoundSettings{SoundSource::builtIn, u"alarm-clock-elapsed.oga"_s, {}, 80, true}));
             EXPECT_EQ(s.countdowns[0].sound,
                       (SoundSettings{SoundSource::builtIn, u"Ping.aiff"_s, {}, 80, true}));
             EXPECT_EQ(s.countdowns[1].sound,
                       (SoundSettings{SoundSource::system, u"complete.oga"_s, {}, 80, false}));
             EXPECT_EQ(s.countdowns[1].durationSeconds, 900);
         },
         false},
        {R"({"Alarms": [{"Sound": "Ping.aiff", "Hour": 6}]})",
         [](const AppSettings& s) {
             EXPECT_EQ(s.alarms[0].hour, 6);
             EXPECT_EQ(s.alarms[0].sound, AlarmSettings{}.sound);
         },
         true},
        // Weekdays.
        {R"({"Alarms": [{"Weekdays": [0, 2, 2, 9]}, {"Weekdays": []}, {}, {"Weekdays": [7, 1]}]})",
         [](const AppSettings& s) {
             EXPECT_EQ(s.alarms[0].weekdays, (WeekdaySet{2}));
             EXPECT_TRUE(s.alarms[1].weekdays.empty());
             EXPECT_EQ(s.alarms[2].weekdays, AlarmSettings::allWeekdays());
             EXPECT_EQ(s.alarms[3].weekdays, (WeekdaySet{1, 7}));
         },
         false},
        {R"({"Alarms": [{"Weekdays": [2, "3"]}, {"Weekdays": 2}, {"Weekdays": [2.5]}, {"Weekdays": [3.0]}]})",
         [](const AppSettings& s) {
             EXPECT_EQ(s.alarms[0].weekdays, AlarmSettings::allWeekdays());
             EXPECT_EQ(s.alarms[1].weekdays, AlarmSettings::allWeekdays());
             EXPECT_EQ(s.alarms[2].weekdays, AlarmSettings::allWeekdays());
             EXPECT_EQ(s.alarms[3].weekdays, (WeekdaySet{3}));
         },
         true},
        // Radio mode follows a present station when the file names no mode.
        {R"({"Alarms": [{"RadioStationUUID": "abc"}, {"RadioStationUUID": ""}, {"RadioStationUUID": null},
                        {"RadioStationUUID": "abc", "RadioMode": "lastPlayed"}]})",
         [](const AppSettings& s) {
             EXPECT_EQ(s.alarms[0].radioMode, M::station);
             EXPECT_EQ(s.alarms[1].radioMode, M::station);
             EXPECT_EQ(s.alarms[1].radioStationUUID, u""_s);
             EXPECT_EQ(s.alarms[2].radioMode, M::randomFavorite);
             EXPECT_FALSE(s.alarms[2].radioStationUUID);
             EXPECT_EQ(s.alarms[3].radioMode, M::lastPlayed);
         },
         false},
        // Clocks.
        {R"({"Clocks": [{"TimeZone": "Mars/Base", "Name": "Mars"}, {"Id": "", "TimeZone": "Europe/Berlin",
             "FaceColor": "nope", "DialStyle": "Roman"}, {"Id": "X", "FaceColor": " #0a0b0c", "DialStyle": null}]})",
         [](const AppSettings& s) {
             ASSERT_EQ(s.clocks.size(), 3u);
             EXPECT_EQ(s.clocks[0].id.size(), 36);
             EXPECT_TRUE(s.clocks[0].timeZoneID.isEmpty());
             EXPECT_EQ(s.clocks[0].name, u"Mars");
             EXPECT_EQ(s.clocks[1].id, u"");
             EXPECT_EQ(s.clocks[1].timeZoneID, u"Europe/Berlin");
             EXPECT_FALSE(s.clocks[1].faceColor);
             EXPECT_EQ(s.clocks[1].dialStyle, DialStyle::roman);
             EXPECT_EQ(s.clocks[2].faceColor, u" #0a0b0c"_s);
             EXPECT_FALSE(s.clocks[2].dialStyle);
         },
         false},
        // A zone identifier is a name, never a path: QTimeZone would open the
        // file it names, and a FIFO there would hang the start.
        {R"({"Clocks": [{"TimeZone": "../../../../tmp/fifo"}, {"TimeZone": "Europe/../Europe/Berlin"},
                        {"TimeZone": "./Europe/Berlin"}, {"TimeZone": "America/Argentina/Buenos_Aires"}]})",
         [](const AppSettings& s) {
             ASSERT_EQ(s.clocks.size(), 4u);
             EXPECT_TRUE(s.clocks[0].timeZoneID.isEmpty());
             EXPECT_TRUE(s.clocks[1].timeZoneID.isEmpty());
             EXPECT_TRUE(s.clocks[2].timeZoneID.isEmpty());
             EXPECT_EQ(s.clocks[3].timeZoneID, u"America/Argentina/Buenos_Aires");
         },
         false},
        {R"({"Clocks": [{"Id": "X", "DialStyle": "Sundial"}]})",
         [](const AppSettings& s) {
             ASSERT_EQ(s.clocks.size(), 1u);
             EXPECT_EQ(s.clocks[0].id, u"X");
             EXPECT_FALSE(s.clocks[0].dialStyle);
         },
         true},
        // One element that is not an object drops the whole list.
        {R"({"Clocks": [{"Id": "keep?"}, 2], "Countdowns": [{"DurationSeconds": 5}, "x"]})",
         [](const AppSettings& s) {
             ASSERT_EQ(s.clocks.size(), 1u);
             EXPECT_NE(s.clocks[0].id, u"keep?");
             EXPECT_EQ(s.countdowns, CountdownSettings::defaultCountdowns());
         },
         true},
        {R"({"Clocks": {"Id": "A"}})", [](const AppSettings& s) { EXPECT_EQ(s.clocks.size(), 1u); }, true},
        {R"({"Clocks": []})",
         [](const AppSettings& s) {
             ASSERT_EQ(s.clocks.size(), 1u);
             EXPECT_FALSE(s.clocks[0].id.isEmpty());
         },
         false},
        {R"({"Dusk": [1], "Latitude": 1})", [](const AppSettings& s) { EXPECT_EQ(s.dusk, DuskSettings{}); },
         true},
        {R"({"Dusk": {"Source": "Sun", "Latitude": "NaN", "Longitude": -1e308}})",
         [](const AppSettings& s) {
             EXPECT_EQ(s.dusk.source, DuskSource::sun);
             EXPECT_TRUE(std::isnan(s.dusk.latitude));
             EXPECT_EQ(s.dusk.longitude, -1e308);
         },
         false},
        {R"({"Dusk": {"Latitude": "nan", "Longitude": "inf"}})",
         [](const AppSettings& s) { EXPECT_EQ(s.dusk, DuskSettings{}); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        bool dropped = false;
        const AppSettings s = decodeOrFail(c.json, &dropped);
        c.check(s);
        EXPECT_EQ(dropped, c.dropped);
        EXPECT_EQ(s.alarms.size(), 4u);
        EXPECT_EQ(s.countdowns.size(), 2u);
    }
}

// An integer field takes only an integral number that fits into 64 bits;
// anything else keeps the default instead of being clamped.
TEST(SettingsCodec, IntegersThatDoNotFit) {
    struct Case {
        const char* value;
        qint64 hour;  // default 7, range 0...23
        bool dropped;
    };
    const std::vector<Case> cases{
        {"5", 5, false},
        {"5.0", 5, false},
        {"5e0", 5, false},
        {"-0", 0, false},
        {"5.5", 7, true},
        {"1e-9", 7, true},
        {"9223372036854775807", 23, false},
        {"-9223372036854775808", 0, false},
        {"9223372036854775808", 7, true},
        // Beyond the 64-bit range a number arrives rounded to -2^63: not the
        // lower bound but no integer at all.
        {"-9223372036854775809", 7, true},
        {"-9.223372036854775808e18", 7, true},
        {"-1e300", 7, true},
        {"9007199254740992.0", 23, false},
        {"18446744073709551615", 7, true},
        {"-1e19", 7, true},
        {"1e19", 7, true},
        {"123456789012345678901234567890", 7, true},
        {"1e400", 7, true},
        {"-1e999", 7, true},
        {"\"5\"", 7, true},
        {"true", 7, true},
        {"null", 7, true},
    };
    for (const Case& c : cases) {
        const std::string json = std::string(R"({"Alarms": [{"Hour": )") + c.value + "}]}";
        bool dropped = false;
        const AppSettings s = decodeOrFail(json, &dropped);
        EXPECT_EQ(s.alarms[0].hour, c.hour) << c.value;
        EXPECT_EQ(dropped, c.dropped) << c.value;
    }
}

TEST(SettingsCodec, LongListsKeepTheirFirstEntries) {
    Json j = Json::object();
    for (int i = 0; i < 30; ++i) j["Clocks"].push_back({{"Id", std::to_string(i)}});
    for (int i = 0; i < 6; ++i) j["Alarms"].push_back({{"Hour", i}});
    for (int i = 0; i < 3; ++i) j["Countdowns"].push_back({{"DurationSeconds", i}});
    const AppSettings s = decodeOrFail(j.dump());
    ASSERT_EQ(s.clocks.size(), 24u);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(s.clocks[std::size_t(i)].id, QString::number(i));
    ASSERT_EQ(s.alarms.size(), 4u);
    EXPECT_EQ(s.alarms[3].hour, 3);
    ASSERT_EQ(s.countdowns.size(), 2u);
    EXPECT_EQ(s.countdowns[1].durationSeconds, 1);
}

TEST(SettingsCodec, LegacyLayout) {
    const auto& defaultAlarms = AlarmSettings::defaultAlarms();
    const auto& defaultCountdowns = CountdownSettings::defaultCountdowns();

    // "Alarm1" only: a legacy alarm without "Hour" rings at 7, not at the slot's time.
    AppSettings s = decodeOrFail(R"({"Alarm1": {"IsEnabled": true, "Minute": 15}})");
    EXPECT_TRUE(s.alarms[0].isEnabled);
    EXPECT_EQ(s.alarms[0].hour, 7);
    EXPECT_EQ(s.alarms[0].minute, 15);
    EXPECT_EQ(std::vector<AlarmSettings>(s.alarms.begin() + 1, s.alarms.end()),
              std::vector<AlarmSettings>(defaultAlarms.begin() + 1, defaultAlarms.end()));

    s = decodeOrFail(R"({"Alarm2": {"Hour": 5}})");
    EXPECT_EQ(s.alarms[0], defaultAlarms[0]);
    EXPECT_EQ(s.alarms[1].hour, 5);
    EXPECT_EQ(s.alarms[1].sound.systemSoundName, u"alarm-clock-elapsed.oga");  // record default, not slot 1's "bell.oga"

    // An "Alarms" list that reads wins over the legacy keys; one that does not falls back to them.
    s = decodeOrFail(R"({"Alarms": [{"Hour": 1}], "Alarm1": {"Hour": 2}, "Alarm2": {"Hour": 3}})");
    EXPECT_EQ(s.alarms[0].hour, 1);
    EXPECT_EQ(s.alarms[1], defaultAlarms[1]);
    bool dropped = false;
    s = decodeOrFail(R"({"Alarms": [3], "Alarm1": {"Hour": 2}, "Alarm2": "x"})", &dropped);
    EXPECT_EQ(s.alarms[0].hour, 2);
    EXPECT_EQ(s.alarms[1], defaultAlarms[1]);
    EXPECT_TRUE(dropped);

    s = decodeOrFail(R"({"CountdownDurationSeconds": 100000})");
    EXPECT_EQ(s.countdowns[0].durationSeconds, 86399);
    EXPECT_EQ(s.countdowns[0].sound, defaultCountdowns[0].sound);
    EXPECT_EQ(s.countdowns[1], defaultCountdowns[1]);

    s = decodeOrFail(R"({"CountdownDurationSeconds": 60, "CountdownSound": {"Volume": 10}})");
    EXPECT_EQ(s.countdowns[0].durationSeconds, 60);
    EXPECT_EQ(s.countdowns[0].sound, (SoundSettings{SoundSource::builtIn, u"alarm-clock-elapsed.oga"_s, {}, 10, true}));

    s = decodeOrFail(R"({"Countdowns": [{"DurationSeconds": 10}], "CountdownDurationSeconds": 60})");
    EXPECT_EQ(s.countdowns[0].durationSeconds, 10);

    // Legacy keys are read but never written.
    const QByteArray written = encodeSettings(s);
    EXPECT_FALSE(written.contains("Alarm1") || written.contains("CountdownDurationSeconds"));
}

TEST(SettingsCodec, WholeFileFailures) {
    const std::vector<std::pair<std::string, const char*>> cases{
        {"", "empty"},
        {"Einstellungen", "not JSON"},
        {"[]", "array at the top"},
        {"\"{}\"", "string at the top"},
        {"null", "null at the top"},
        {R"({"UserName": "Jo", "Clocks": [{"Id": "A")", "truncated"},
        {R"({"UserName": "Jo"} trailing)", "trailing garbage"},
        {"{\"UserName\": \"\xff\xfe\"}", "invalid UTF-8"},
        {R"({"UserName": "\ud800"})", "lone surrogate"},
        {std::string(65, '[') + std::string(65, ']'), "nested too deep, array"},
        {"{\"A\":" + std::string(100000, '[') + std::string(100000, ']') + "}", "nested far too deep"},
    };
    for (const auto& [json, what] : cases) {
        QString error;
        EXPECT_FALSE(decodeSettings(QByteArray::fromStdString(json), &error)) << what;
        EXPECT_FALSE(error.isEmpty()) << what;
    }
    EXPECT_FALSE(decodeSettings(QByteArray(kMaxSettingsFileBytes + 1, ' ')));

    // Brackets inside texts do not count as nesting, and an unknown key nested
    // within the limit is simply ignored.
    const std::string inText =
        R"({"UserName": "[[[[\"{{{{)" + std::string(100, '[') + R"(", "Theme": "Dark"})";
    EXPECT_EQ(decodeOrFail(inText).theme, ThemeMode::dark);
    const std::string deepButFine =
        "{\"X\":" + std::string(60, '[') + std::string(60, ']') + ", \"ShowDate\": false}";
    EXPECT_FALSE(decodeOrFail(deepButFine).showDate);
}

// The reader takes exactly the texts JSON allows, with one addition: a number
// beyond the double range, which costs only its key instead of the file.
TEST(SettingsCodec, ReadsWhatJsonAllowsAndNumbersBeyondDouble) {
    using namespace std::string_literals;
    const std::vector<std::string> texts{
        "{}",
        " \t\r\n{ } \n",
        "\xEF\xBB\xBF{}",
        "\xEF\xBB{}",
        R"({"A":1})",
        R"({"A":[1,[2,{}],{"B":null}],"C":true,"D":-0.5e-3,"E":"\u00e4\n"})",
        R"({"A":1,"A":[]})",
        R"({"A":1,})",
        "{,}",
        R"({"A"})",
        R"({"A" 1})",
        R"({"A":})",
        R"({"A":1 "B":2})",
        "{1:2}",
        R"({"A":[1,]})",
        R"({"A":[,1]})",
        R"({"A":[1 2]})",
        R"({"A":[})",
        R"({"A":{]})",
        R"({"A":1}})",
        R"({"A":1}])",
        "{} {}",
        "{}x",
        R"({"A":tru})",
        R"({"A":01})",
        R"({"A":-})",
        R"({"A":1.})",
        R"({"A":.5})",
        R"({"A":"\x"})",
        R"({"A":"a)",
        R"({"A":[)",
        "{\"A\":1}\0tail"s,
        "[]",
        "\"{}\"",
        "",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        QString error;
        const bool decoded = decodeSettings(QByteArray::fromStdString(text), &error).has_value();
        try {
            EXPECT_EQ(decoded, Json::parse(text).is_object());
        } catch (const nlohmann::json::parse_error& e) {
            EXPECT_FALSE(decoded);
            EXPECT_EQ(error, u"Kein gültiges JSON (bei Byte %1)."_s.arg(e.byte));
        }
    }

    for (const char* text :
         {R"({"A":1e400})", R"({"A":[-1e999,{"B":1E+99999}]})", R"({"UserName":"Zahl","FontSize":1e400})"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(Json::parse(text).is_object(), nlohmann::json::out_of_range);
        EXPECT_EQ(decodeOrFail(text).fontSize, 120);
    }
    EXPECT_EQ(decodeOrFail(R"({"UserName":"Zahl","FontSize":1e400})").userName, u"Zahl"_s);
    EXPECT_FALSE(decodeSettings(R"({"A":1e400)"));
}

// Only to a file that reads as ours is a link at settings.json followed.
TEST(SettingsCodec, AFileIsOursWhenItHoldsOneOfOurTopLevelKeys) {
    const Json full = encodedJson(fullSettings());
    for (const auto& [key, value] : full.items())
        EXPECT_TRUE(isSettingsFileContent(QByteArray::fromStdString(Json{{key, value}}.dump()))) << key;
    for (const char* legacy : {R"({"Alarm1": {}})", R"({"Alarm2": {}})", R"({"CountdownDurationSeconds": 5})",
                               R"({"CountdownSound": {}})"})
        EXPECT_TRUE(isSettingsFileContent(legacy)) << legacy;
    EXPECT_TRUE(isSettingsFileContent("{}"));
    EXPECT_TRUE(isSettingsFileContent(R"({"name": "x", "Theme": "Dark"})"));

    for (const char* foreign : {R"({"name": "mein-projekt", "version": "1.0.0"})", R"({"userName": "klein"})",
                                R"({"config": {"UserName": "verschachtelt"}})", "[1, 2, 3]", "Notizen", ""})
        EXPECT_FALSE(isSettingsFileContent(foreign)) << foreign;
}
