// The model's lookups: names, zones, swatches, weekdays and clock helpers.

#include <gtest/gtest.h>
#include <unicode/locid.h>

#include "appmodel/ModelHarness.h"

using namespace corvane;
using namespace corvane::testing;

TEST(GivenName, EmptyFullNameGreetsWithTheAccountName) {
    ModelHarness h;
    h.names = {QString(), QStringLiteral("anna")};
    AppModel& m = h.make();
    EXPECT_EQ(m.greetingText(), QStringLiteral("Guten Morgen, anna!"));
}

TEST(ZoneList, EntriesAndFilter) {
    const TimeZoneInfo three(QStringLiteral("America/Argentina/Buenos_Aires"));
    EXPECT_EQ(three.city, QStringLiteral("Buenos Aires"));
    EXPECT_EQ(three.region, QStringLiteral("America"));
    EXPECT_TRUE(three.searchText.startsWith(QStringLiteral("america/argentina/buenos_aires buenos aires ")));
    const TimeZoneInfo bogus(QStringLiteral("Nowhere/Gibt_Es_Nicht"));
    EXPECT_EQ(bogus.searchText, QStringLiteral("nowhere/gibt_es_nicht gibt es nicht "));

    const auto list = makeTimeZoneList({"Etc/GMT+1", "UTC", "SystemV/AST4", "Europe/Berlin", "Africa/Abidjan",
                                        "Europe/Zurich", "America/Argentina/Buenos_Aires"});
    QStringList ids;
    for (const auto& z : list) ids << z.id;
    EXPECT_EQ(ids.join(u' '),
              QStringLiteral("Africa/Abidjan Europe/Berlin America/Argentina/Buenos_Aires Europe/Zurich"));

    const auto& all = timeZoneList();
    ASSERT_GT(all.size(), 100u);
    for (const auto& z : all) {
        ASSERT_TRUE(z.id.contains(u'/')) << z.id.toStdString();
        ASSERT_FALSE(z.id.startsWith(QStringLiteral("Etc/"))) << z.id.toStdString();
    }
    EXPECT_EQ(&all, &timeZoneList());
}

TEST(Swatches, GroupsStepsAndColours) {
    const auto& swatches = paletteSwatches();
    ASSERT_EQ(swatches.size(), 72u);
    EXPECT_EQ(swatches.front().hex, QStringLiteral("#F7F7F7"));
    EXPECT_EQ(swatches.front().name, QStringLiteral("Grau, Stufe 1"));
    EXPECT_EQ(swatches.back().name, QStringLiteral("Pink, Stufe 8"));
    EXPECT_EQ(swatches.back().hex, QString(hslToRGB(330, 0.62, 0.15).hexString()));

    struct Case {
        double h, s, l;
        RGB rgb;
    };
    const Case cases[] = {{0, 1, 0.5, {255, 0, 0}},
                          {120, 1, 0.5, {0, 255, 0}},
                          {240, 1, 0.25, {0, 0, 128}},
                          {77, 0, 0.5, {128, 128, 128}},
                          {-30, 1, 0.5, {255, 0, 0}}};
    for (const Case& c : cases) EXPECT_EQ(hslToRGB(c.h, c.s, c.l), c.rgb) << c.h;
}

TEST(Weekdays, StartWithTheLocalesFirstDay) {
    const auto german = weekdaySymbols(icu::Locale("de_DE"));
    ASSERT_EQ(german.size(), 7u);
    EXPECT_EQ(german[0].weekday, 2);
    EXPECT_EQ(german[0].shortName, QStringLiteral("Mo"));
    EXPECT_EQ(german[0].longName, QStringLiteral("Montag"));
    EXPECT_EQ(german[6].weekday, 1);
    EXPECT_EQ(german[6].shortName, QStringLiteral("So"));

    const auto us = weekdaySymbols(icu::Locale("en_US"));
    EXPECT_EQ(us[0].weekday, 1);
    EXPECT_EQ(us[0].shortName, QStringLiteral("Su"));
}

TEST(ClockHelpers, IndexMoveFaceColourAndFormatters) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    ClockEntry second = ClockEntry::makeNew();
    second.timeZoneID = QStringLiteral("Asia/Tokyo");
    second.faceColor = QStringLiteral("#102030");
    s.clocks.push_back(second);
    h.writeSettings(s);
    AppModel& m = h.make();
    const QString first = m.settings().clocks[0].id;

    EXPECT_EQ(m.clockIndex(second.id), 1);
    EXPECT_FALSE(m.clockIndex(QStringLiteral("fehlt")).has_value());
    EXPECT_EQ(m.clockFaceColor(second.id), (RGB{0x10, 0x20, 0x30}));
    EXPECT_EQ(m.clockFaceColor(first), m.theme().surface);
    EXPECT_EQ(m.clockFaceColor(QStringLiteral("fehlt")), (RGB{255, 255, 255}));

    m.pickClockFaceColor(first, QColor::fromRgbF(0.5f, 0.0f, 1.0f));
    EXPECT_EQ(m.settings().clocks[0].faceColor, QStringLiteral("#8000FF"));
    m.pickClockFaceColor(first, QColor());
    EXPECT_EQ(m.settings().clocks[0].faceColor, QStringLiteral("#8000FF"));

    m.moveClock(0, 1);
    EXPECT_EQ(m.settings().clocks[0].id, second.id);
    m.moveClock(1, 1);
    m.moveClock(0, 5);
    EXPECT_EQ(m.settings().clocks[1].id, first);

    const ZoneFormatters& tokyo = m.dateText(QTimeZone("Asia/Tokyo"));
    EXPECT_EQ(&tokyo, &m.dateText(QTimeZone("Asia/Tokyo")));
    EXPECT_EQ(tokyo.time.format(m.now()), QStringLiteral("14:59:50"));
    EXPECT_EQ(tokyo.date.format(m.now()), QStringLiteral("Dienstag, 10. März 2026"));
    EXPECT_EQ(tokyo.shortDate.format(m.now()), QStringLiteral("Di., 10. März"));
    EXPECT_EQ(m.weekdayFormatter().format(m.now()), QStringLiteral("Dienstag"));
}

TEST(ClockHelpers, CoordinateTexts) {
    EXPECT_EQ(AppModel::coordinateText(52.52), QStringLiteral("52,52"));
    EXPECT_EQ(AppModel::coordinateText(13.405), QStringLiteral("13,405"));
    EXPECT_EQ(AppModel::coordinateText(-33.0), QStringLiteral("-33"));
    EXPECT_EQ(AppModel::coordinateText(1234.123456), QStringLiteral("1234,12346"));
    EXPECT_EQ(AppModel::coordinateText(-0.000001), QStringLiteral("0"));
}
