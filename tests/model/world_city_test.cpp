#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <thread>

#include "GermanNumericLocale.h"
#include "model/Locale.h"
#include "model/WorldCity.h"
#include "platform/Resources.h"

namespace corvane {

void PrintTo(const WorldCity& c, std::ostream* os) {
    *os << '{' << c.name.toStdString() << ", " << c.country.toStdString() << ", " << c.lat << ", " << c.lon
        << ", " << c.tz.toStdString() << ", " << c.population << ", " << c.isCapital << '}';
}

namespace {

const QString kFixtures = QStringLiteral(CORVANE_TEST_DATA "/model/fixtures/cities");

bool writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

std::optional<WorldCity> parse(const QString& line, QStringView language) {
    const QList<QStringView> fields = QStringView(line).split(u'\t');
    return WorldCity::parseLine(fields, language);
}

QStringList names(const std::vector<WorldCity>& cities) {
    QStringList result;
    for (const WorldCity& c : cities) result << c.id();
    return result;
}

struct LineCase {
    const char* what;
    const char* language;
    const char* line;  // tabs written as \t
    std::optional<WorldCity> expected;
};

WorldCity berlin(double lat = 52.52, qint64 population = 3'700'000, bool capital = true) {
    return {QStringLiteral("Berlin"),
            QStringLiteral("Deutschland"),
            lat,
            13.405,
            QStringLiteral("Europe/Berlin"),
            population,
            capital};
}

TEST(WorldCityParseLine, TableOfLines) {
    const std::optional<WorldCity> dropped;
    const WorldCity sevenFields = berlin();
    const LineCase cases[] = {
        // Field count.
        {"seven fields, German whatever the language", "en",
         "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t3700000\t1", sevenFields},
        {"six fields", "de", "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t3700000", dropped},
        {"columns after the tenth are ignored", "de",
         "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t3700000\t1\t\t\t\tjunk\tmore", sevenFields},
        // Coordinates.
        {"latitude of letters", "de", "Berlin\tDeutschland\tabc\t13.405\tEurope/Berlin\t3700000\t1", dropped},
        {"latitude with a leading blank", "de",
         "Berlin\tDeutschland\t 52.52\t13.405\tEurope/Berlin\t3700000\t1", dropped},
        {"latitude with a trailing blank", "de",
         "Berlin\tDeutschland\t52.52 \t13.405\tEurope/Berlin\t3700000\t1", dropped},
        {"latitude with a decimal comma", "de",
         "Berlin\tDeutschland\t52,52\t13.405\tEurope/Berlin\t3700000\t1", dropped},
        {"empty latitude", "de", "Berlin\tDeutschland\t\t13.405\tEurope/Berlin\t3700000\t1", dropped},
        {"longitude of letters", "de", "Berlin\tDeutschland\t52.52\tost\tEurope/Berlin\t3700000\t1", dropped},
        {"exponent form", "de", "Berlin\tDeutschland\t5.252e1\t13.405\tEurope/Berlin\t3700000\t1",
         sevenFields},
        {"hexadecimal form", "de", "Berlin\tDeutschland\t0x1.8p1\t13.405\tEurope/Berlin\t3700000\t1",
         berlin(3.0)},
        {"no range check", "de", "Berlin\tDeutschland\t95\t13.405\tEurope/Berlin\t3700000\t1", berlin(95)},
        {"nan", "de", "Berlin\tDeutschland\tnan\t13.405\tEurope/Berlin\t3700000\t1", dropped},
        {"infinity", "de", "Berlin\tDeutschland\t52.52\t-inf\tEurope/Berlin\t3700000\t1", dropped},
        {"overflow to infinity", "de", "Berlin\tDeutschland\t1e999\t13.405\tEurope/Berlin\t3700000\t1",
         dropped},
        // Zones.
        {"unknown zone", "de", "Berlin\tDeutschland\t52.52\t13.405\tMars/Olympus\t3700000\t1", dropped},
        {"zone in the wrong case", "de", "Berlin\tDeutschland\t52.52\t13.405\teurope/berlin\t3700000\t1",
         dropped},
        // QTimeZone("") is the system's own zone.
        {"empty zone", "de", "Berlin\tDeutschland\t52.52\t13.405\t\t3700000\t1", dropped},
        // QTimeZone would open these as paths below the zoneinfo folder.
        {"zone outside the zone folder", "de",
         "Berlin\tDeutschland\t52.52\t13.405\t../../../usr/share/zoneinfo/Europe/Berlin\t3700000\t1",
         dropped},
        {"zone with a dot part", "de", "Berlin\tDeutschland\t52.52\t13.405\t./Europe/Berlin\t3700000\t1",
         dropped},
        {"zone link kept as written", "de", "Kiew\tUkraine\t50.45\t30.52\tEurope/Kiev\t2900000\t1",
         WorldCity{"Kiew", "Ukraine", 50.45, 30.52, "Europe/Kiev", 2'900'000, true}},
        // Population.
        {"empty population", "de", "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t\t1",
         berlin(52.52, 0)},
        {"decimal population", "de", "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t3.7\t1",
         berlin(52.52, 0)},
        {"population in words", "de", "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\tviele\t1",
         berlin(52.52, 0)},
        {"grouped population", "de", "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t3 700 000\t1",
         berlin(52.52, 0)},
        {"plus sign", "de", "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t+1200\t1",
         berlin(52.52, 1200)},
        {"minus sign", "de", "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t-5\t1", berlin(52.52, -5)},
        {"two signs", "de", "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t+-5\t1", berlin(52.52, 0)},
        {"sign alone", "de", "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t+\t1", berlin(52.52, 0)},
        {"largest population", "de",
         "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t9223372036854775807\t1",
         berlin(52.52, std::numeric_limits<qint64>::max())},
        {"smallest population", "de",
         "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t-9223372036854775808\t1",
         berlin(52.52, std::numeric_limits<qint64>::min())},
        {"population out of range", "de",
         "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t9223372036854775808\t1", berlin(52.52, 0)},
        // Capital flag.
        {"capital with a blank behind", "de",
         "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t3700000\t1 ", berlin(52.52, 3'700'000, false)},
        {"capital as 01", "de", "Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t3700000\t01",
         berlin(52.52, 3'700'000, false)},
        // Names and countries by language.
        {"English name", "en", "München\tDeutschland\t48.137\t11.575\tEurope/Berlin\t0\t0\tMunich",
         WorldCity{"Munich", "Deutschland", 48.137, 11.575, "Europe/Berlin", 0, false}},
        {"empty English name", "en", "München\tDeutschland\t48.137\t11.575\tEurope/Berlin\t0\t0\t\tMúnich",
         WorldCity{"München", "Deutschland", 48.137, 11.575, "Europe/Berlin", 0, false}},
        {"Spanish with eight fields", "es",
         "München\tDeutschland\t48.137\t11.575\tEurope/Berlin\t0\t0\tMunich",
         WorldCity{"München", "Deutschland", 48.137, 11.575, "Europe/Berlin", 0, false}},
        {"Spanish name", "es", "München\tDeutschland\t48.137\t11.575\tEurope/Berlin\t0\t0\tMunich\tMúnich",
         WorldCity{"Múnich", "Deutschland", 48.137, 11.575, "Europe/Berlin", 0, false}},
        {"English region name", "en",
         "München\tDeutschland\t48.137\t11.575\tEurope/Berlin\t0\t0\tMunich\tMúnich\tDE",
         WorldCity{"Munich", "Germany", 48.137, 11.575, "Europe/Berlin", 0, false}},
        {"region unknown to the locale", "en",
         "München\tDeutschland\t48.137\t11.575\tEurope/Berlin\t0\t0\tMunich\tMúnich\tQQ",
         WorldCity{"Munich", "Deutschland", 48.137, 11.575, "Europe/Berlin", 0, false}},
        {"German ignores the region", "de",
         "München\tDeutschland\t48.137\t11.575\tEurope/Berlin\t0\t0\tMunich\tMúnich\tUS",
         WorldCity{"München", "Deutschland", 48.137, 11.575, "Europe/Berlin", 0, false}},
        // An empty name would match every unnamed clock of its zone.
        {"empty name", "de", "\tDeutschland\t52.52\t13.405\tEurope/Berlin\t3700000\t1", dropped},
        {"empty name, English one given", "en",
         "\tDeutschland\t52.52\t13.405\tEurope/Berlin\t3700000\t1\tBerlin",
         WorldCity{"Berlin", "Deutschland", 52.52, 13.405, "Europe/Berlin", 3'700'000, true}},
        {"blanks are not trimmed", "de", " Berlin \tDeutschland\t52.52\t13.405\tEurope/Berlin\t3700000\t1",
         WorldCity{" Berlin ", "Deutschland", 52.52, 13.405, "Europe/Berlin", 3'700'000, true}},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(parse(QString::fromUtf8(c.line), QString::fromLatin1(c.language)), c.expected);
    }
}

// Qt sets LC_NUMERIC from the environment, and a German one makes a plain
// strtod want decimal commas.
TEST(WorldCityParseLine, IgnoresAGermanNumericLocale) {
    std::optional<WorldCity> point, comma;
    {
        test::GermanNumericLocale german;
        ASSERT_TRUE(german.active()) << "no German numeric locale could be set";
        point = parse(QStringLiteral("Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t3700000\t1"), u"de");
        comma = parse(QStringLiteral("Berlin\tDeutschland\t52,52\t13.405\tEurope/Berlin\t3700000\t1"), u"de");
    }
    EXPECT_EQ(point, berlin());
    EXPECT_EQ(comma, std::nullopt);
}

TEST(WorldCityParseLine, IgnoresAGermanDefaultQLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const auto point =
        parse(QStringLiteral("Berlin\tDeutschland\t52.52\t13.405\tEurope/Berlin\t3700000\t1"), u"de");
    const auto comma =
        parse(QStringLiteral("Berlin\tDeutschland\t52,52\t13.405\tEurope/Berlin\t3700000\t1"), u"de");
    QLocale::setDefault(previous);
    EXPECT_EQ(point, berlin());
    EXPECT_EQ(comma, std::nullopt);
}

// The English name is kept beside the display name in every language, and
// two records that differ only there are still the same city.
TEST(WorldCityParseLine, KeepsTheEnglishNameOutsideTheIdentity) {
    const auto kolkata =
        parse(QStringLiteral("Kalkutta\tIndien\t22.5\t88.3\tAsia/Kolkata\t4600000\t0\tKolkata\tCalcuta"), u"de");
    ASSERT_TRUE(kolkata);
    EXPECT_EQ(kolkata->name, "Kalkutta");
    EXPECT_EQ(kolkata->englishName, "Kolkata");
    const auto seven = parse(QStringLiteral("Kalkutta\tIndien\t22.5\t88.3\tAsia/Kolkata\t4600000\t0"), u"de");
    ASSERT_TRUE(seven);
    EXPECT_TRUE(seven->englishName.isEmpty());
    EXPECT_EQ(*seven, *kolkata);
    EXPECT_EQ(qHash(*seven), qHash(*kolkata));
}

TEST(WorldCityLoad, SortsByPopulationAndDropsBadAndDuplicateLines) {
    const std::vector<WorldCity> cities = WorldCity::loadAll(kFixtures + "/cities.tsv", u"de");
    // Dropped: six fields, an empty name, a second "Berlin|Deutschland" (its
    // population of 10 would put it first), an unknown zone. Hamburg and
    // München have equal populations and keep their file order.
    EXPECT_EQ(names(cities), (QStringList{"Zwergdorf|Österreich", "Kleinstadt|Deutschland", "Berlin|USA",
                                          "Hamburg|Deutschland", "München|Deutschland", "Kiew|Ukraine",
                                          "Berlin|Deutschland"}));
    EXPECT_EQ(cities.back(), berlin());

    const std::vector<const WorldCity*> order = WorldCity::mostPopulousFirst(cities);
    QStringList descending;
    for (const WorldCity* c : order) descending << c->id();
    EXPECT_EQ(descending,
              (QStringList{"Berlin|Deutschland", "Kiew|Ukraine", "Hamburg|Deutschland", "München|Deutschland",
                           "Berlin|USA", "Kleinstadt|Deutschland", "Zwergdorf|Österreich"}));
    EXPECT_EQ(order.front(), &cities.back());  // points into the list, no copies
}

TEST(WorldCityLoad, ToleratesCarriageReturnLineEnds) {
    const std::vector<WorldCity> cities = WorldCity::loadAll(kFixtures + "/crlf.tsv", u"en");
    ASSERT_EQ(cities.size(), 2u);
    EXPECT_EQ(cities[0], (WorldCity{"Graz", "Austria", 47.07, 15.44, "Europe/Vienna", 290'000, false}));
    EXPECT_EQ(cities[1], (WorldCity{"Wien", "Österreich", 48.2, 16.37, "Europe/Vienna", 1'900'000, true}));
}

TEST(WorldCityLoad, UnreadableFilesGiveAnEmptyList) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    QByteArray binary(64 * 1024, '\0');
    for (int i = 0; i < binary.size(); ++i) binary[i] = char((i * 7919 + 13) & 0xff);
    QByteArray huge;
    {
        const QByteArray line = "Wien\tÖsterreich\t48.2\t16.37\tEurope/Vienna\t1900000\t1\n";
        // Only just over the cap: every line of it would be a good city.
        huge.reserve(WorldCity::kMaxFileBytes + line.size());
        while (huge.size() <= WorldCity::kMaxFileBytes) huge += line;
    }
    const struct {
        const char* what;
        QString path;
        QByteArray contents;  // written first when not empty
    } cases[] = {
        {"missing file", dir.filePath("missing.tsv"), {}},
        {"a folder", dir.path(), {}},
        {"its only line in Latin-1", kFixtures + "/latin1.tsv", {}},
        {"binary", dir.filePath("binary.tsv"), binary},
        {"far too large", dir.filePath("huge.tsv"), huge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.contents.isEmpty()) {
            ASSERT_TRUE(writeFile(c.path, c.contents));
        }
        ResourceState state = ResourceState::ok;
        EXPECT_TRUE(WorldCity::loadAll(c.path, u"de", &state).empty());
        EXPECT_EQ(state, c.path.endsWith("missing.tsv") ? ResourceState::missing : ResourceState::unreadable);
    }
}

TEST(WorldCityLoad, ADamagedLineCostsThatCityOnly) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray wien = "Wien\tÖsterreich\t48.2\t16.37\tEurope/Vienna\t1900000\t1\n";
    const QByteArray graz = "Graz\tÖsterreich\t47.07\t15.44\tEurope/Vienna\t290000\t0\n";
    const struct {
        const char* what;
        QString path;
        QByteArray contents;  // written first when not empty
        QStringList expected;
    } cases[] = {
        // A good line, then one cut in the middle of its "Ö".
        {"cut in the middle of a character", kFixtures + "/truncated.tsv", {}, {"Wien|Osterreich"}},
        {"one stray byte", dir.filePath("stray.tsv"), graz + "Linz\t\xd6sterreich\t48.3\t14.29\tEurope/Vienna\t200000\t0\n" + wien,
         {"Graz|Österreich", "Wien|Österreich"}},
        {"a lone continuation byte", dir.filePath("lone.tsv"), wien + "\x80\n" + graz, {"Graz|Österreich", "Wien|Österreich"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.contents.isEmpty()) {
            ASSERT_TRUE(writeFile(c.path, c.contents));
        }
        ResourceState state = ResourceState::missing;
        EXPECT_EQ(names(WorldCity::loadAll(c.path, u"de", &state)), c.expected);
        EXPECT_EQ(state, ResourceState::ok);
    }
}

TEST(WorldCityLoad, ReadsNoMoreThanItsLineCap) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray text;
    for (qsizetype i = 0; i < WorldCity::kMaxLines + 5; ++i)
        text += "S" + QByteArray::number(i) + "\tX\t1\t2\tUTC\t" + QByteArray::number(i) + "\t0\n";
    ASSERT_LE(text.size(), WorldCity::kMaxFileBytes);
    QFile file(dir.filePath("many.tsv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    const std::vector<WorldCity> cities = WorldCity::loadAll(file.fileName(), u"de");
    ASSERT_EQ(qsizetype(cities.size()), WorldCity::kMaxLines);
    EXPECT_EQ(cities.back().name, "S" + QString::number(WorldCity::kMaxLines - 1));
}

TEST(WorldCityLoad, SurvivesHostileLinesInValidText) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray text;
    text += QByteArray(500'000, '\t') + '\n';                              // half a million fields
    text += "Lang" + QByteArray(100'000, 'x') + "\tX\t1\t2\tUTC\t3\t0\n";  // an absurd name
    static const char withNul[] = "Null\0\tX\t1\0\t2\tUTC\t3\t0\n";
    text += QByteArray(withNul, sizeof withNul - 1);                     // NUL inside a number
    text += "Wien\tÖsterreich\t48.2\t16.37\tEurope/Vienna\t1900000\t1";  // no final line feed
    QFile file(dir.filePath("hostile.tsv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    const std::vector<WorldCity> cities = WorldCity::loadAll(file.fileName(), u"de");
    EXPECT_EQ(names(cities), QStringList{"Wien|Österreich"});
}

TEST(WorldCityAll, ReadsTheResourceFolderOnceFromAnyThread) {
    qputenv("CORVANE_RESOURCE_DIR", kFixtures.toUtf8());
    EXPECT_EQ(resourcePath("cities.tsv"), kFixtures + "/cities.tsv");

    const std::vector<WorldCity>* seen[4] = {};
    std::vector<std::thread> threads;
    for (auto& slot : seen) threads.emplace_back([&slot] { slot = &WorldCity::all(); });
    for (std::thread& t : threads) t.join();
    for (const auto* list : seen) EXPECT_EQ(list, seen[0]);
    EXPECT_EQ(WorldCity::all().size(), 7u);

    // Never reloaded: the list stays what the first read found.
    qputenv("CORVANE_RESOURCE_DIR", QByteArray("/nonexistent"));
    EXPECT_EQ(WorldCity::all().size(), 7u);
    ASSERT_EQ(WorldCity::allMostPopulousFirst().size(), 7u);
    EXPECT_EQ(WorldCity::allMostPopulousFirst().front(), &WorldCity::all().back());
    qunsetenv("CORVANE_RESOURCE_DIR");
}

TEST(WorldCityAll, ResourceFolderFallsBackToTheSourceTree) {
    qunsetenv("CORVANE_RESOURCE_DIR");
    // The test program does not live below an installed share/corvane.
    EXPECT_EQ(QDir::cleanPath(resourcePath("cities.tsv")),
              QDir::cleanPath(CORVANE_TEST_DATA "/../resources/cities.tsv"));
}

TEST(WorldCity, TimeZoneFallsBackToWholeHoursOfLongitude) {
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1'700'000'000, QTimeZone::utc());
    const struct {
        const char* tz;
        double lon;
        int offsetSeconds;
    } cases[] = {
        {"Europe/Berlin", -74.0, 3600},  // the zone wins over the longitude
        {"Mars/Olympus", -74.0, -5 * 3600},
        {"", -74.0, -5 * 3600},
        {"Mars/Olympus", 7.5, 3600},
        {"Mars/Olympus", -7.5, -3600},
        {"Mars/Olympus", 7.49, 0},
        {"Mars/Olympus", 180.0, 12 * 3600},
        // Records built elsewhere may carry nonsense; the zone stays usable.
        {"Mars/Olympus", 400.0, 14 * 3600},
        {"Mars/Olympus", std::nan(""), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.tz) + " " + std::to_string(c.lon));
        const WorldCity city{"X", "Y", 0, c.lon, c.tz, 0, false};
        const QTimeZone zone = city.timeZone();
        ASSERT_TRUE(zone.isValid());
        EXPECT_EQ(zone.offsetFromUtc(when), c.offsetSeconds);
    }
    EXPECT_EQ(berlin().timeZone().id(), QByteArray("Europe/Berlin"));
}

TEST(WorldCity, PopulationText) {
    const QLocale locale = appQLocale();
    if (locale.groupSeparator() != u"." || locale.decimalPoint() != u",")
        GTEST_SKIP() << "the environment selects a region with other separators";
    const struct {
        qint64 population;
        const char* text;
    } cases[] = {
        {0, ""},
        {-5, ""},
        {1, "1 Einwohner"},
        {999'999, "999.999 Einwohner"},
        {1'000'000, "1,0 Mio. Einwohner"},
        {3'700'000, "3,7 Mio. Einwohner"},
        {12'000'000, "12,0 Mio. Einwohner"},
    };
    for (const auto& c : cases) {
        WorldCity city = berlin();
        city.population = c.population;
        EXPECT_EQ(city.populationText(), QString::fromUtf8(c.text)) << c.population;
    }
}

TEST(WorldCity, EqualityAndHashCoverEveryField) {
    const WorldCity a = berlin();
    WorldCity zero = a;
    zero.lat = 0.0;
    WorldCity negativeZero = a;
    negativeZero.lat = -0.0;
    EXPECT_EQ(zero, negativeZero);
    EXPECT_EQ(qHash(zero), qHash(negativeZero));

    QSet<WorldCity> variants{a};
    WorldCity v = a;
    v.name = "Berlín";
    variants.insert(v);
    v = a;
    v.country = "Germany";
    variants.insert(v);
    v = a;
    v.lat += 1;
    variants.insert(v);
    v = a;
    v.lon += 1;
    variants.insert(v);
    v = a;
    v.tz = "Europe/Kiev";
    variants.insert(v);
    v = a;
    v.population += 1;
    variants.insert(v);
    v = a;
    v.isCapital = false;
    variants.insert(v);
    EXPECT_EQ(variants.size(), 8);
    EXPECT_EQ(a.id(), QStringLiteral("Berlin|Deutschland"));
}

}  // namespace
}  // namespace corvane
