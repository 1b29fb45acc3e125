// Checks over the data files that ship with the program: they are generated
// (tools/mapdata), so these tests catch a generator run that went wrong
// before the map shows it.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QStringView>
#include <cmath>

#include "model/WorldCity.h"
#include "worldmap/MapShapes.h"

namespace corvane {
namespace {

const QString kResources = QStringLiteral(CORVANE_TEST_DATA "/../resources/");

const ShapeList& land() {
    static const ShapeList shapes = MapShapes::loadFile(kResources + "land.bin");
    return shapes;
}

const ShapeList& borders() {
    static const ShapeList shapes = MapShapes::loadFile(kResources + "borders.bin");
    return shapes;
}

QStringList catalogueLines() {
    QFile file(kResources + "cities.tsv");
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// Even-odd over all land rings, the rule the map fills them with: a point
// inside the Caspian lies in two rings and is water.
bool isLand(double lat, double lon) {
    bool inside = false;
    for (const Shape& ring : land()) {
        for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            const ShapePoint& a = ring[i];
            const ShapePoint& b = ring[j];
            if ((a.lat > lat) != (b.lat > lat) && lon < (b.lon - a.lon) * (lat - a.lat) / (b.lat - a.lat) + a.lon)
                inside = !inside;
        }
    }
    return inside;
}

// A segment longer than half the globe runs the wrong way round: drawn on
// the flat map it crosses the whole picture.
void expectNoSegmentCrossesTheMap(const ShapeList& shapes, bool closed, const char* what) {
    int bad = 0;
    for (const Shape& shape : shapes) {
        for (size_t i = 0; i < shape.size(); ++i) {
            const ShapePoint& p = shape[i];
            if (std::abs(p.lon) > 180 || std::abs(p.lat) > 90) ++bad;
            if (i == 0 && !closed) continue;
            const ShapePoint& q = shape[i == 0 ? shape.size() - 1 : i - 1];
            if (std::abs(p.lon - q.lon) > 180) ++bad;
        }
    }
    EXPECT_EQ(bad, 0) << what;
}

TEST(ShippedShapes, LandAndBordersStayOnTheMap) {
    ASSERT_GT(land().size(), 1000u);
    ASSERT_GT(borders().size(), 100u);
    expectNoSegmentCrossesTheMap(land(), true, "land");
    expectNoSegmentCrossesTheMap(borders(), false, "borders");
    for (const Shape& ring : land()) EXPECT_GE(ring.size(), 3u);
    for (const Shape& line : borders()) EXPECT_GE(line.size(), 2u);
}

// The readers' caps leave room for finer data; a generator run that eats
// up most of it should be a decision, not a surprise at the next start.
TEST(ShippedData, StaysWithinHalfOfTheReadersCaps) {
    for (const char* name : {"land.bin", "borders.bin"}) {
        SCOPED_TRACE(name);
        const ShapeList shapes = MapShapes::loadFile(kResources + name);
        EXPECT_LE(QFileInfo(kResources + name).size(), MapShapes::kMaxFileBytes / 2);
        EXPECT_LE(shapes.size(), MapShapes::kMaxShapes / 2);
        ShapeList doubled = shapes;
        doubled.insert(doubled.end(), shapes.begin(), shapes.end());
        EXPECT_TRUE(MapShapes::withinDrawingCaps(doubled));
    }
    EXPECT_LE(QFileInfo(kResources + "cities.tsv").size(), WorldCity::kMaxFileBytes / 2);
    EXPECT_LE(catalogueLines().size(), WorldCity::kMaxLines / 2);
}

TEST(ShippedShapes, LandAndWaterWhereTheyBelong) {
    const struct {
        const char* place;
        double lat, lon;
        bool land;
    } probes[] = {
        {"Sahara", 23.0, 10.0, true},
        {"Berlin", 52.52, 13.40, true},
        {"Amazon basin", -5.0, -60.0, true},
        {"Chukotka east of 180°", 66.0, -172.0, true},
        {"Chukotka west of 180°", 67.0, 175.0, true},
        {"Wrangel Island, east part", 71.2, -179.5, true},
        {"Fiji, Vanua Levu", -16.5, 179.3, true},
        {"Mid-Atlantic", 30.0, -40.0, false},
        {"North Pacific", 30.0, -150.0, false},
        {"Bering Strait north of Chukotka", 69.0, -175.0, false},
        {"Caspian Sea", 42.0, 50.5, false},
        {"Mediterranean", 35.0, 18.0, false},
        {"Arctic band at 67 N, mid-Pacific longitude", 67.5, -179.9, true},
    };
    for (const auto& p : probes) EXPECT_EQ(isLand(p.lat, p.lon), p.land) << p.place;
}

TEST(ShippedCatalogue, EveryLineLoadsInEveryLanguage) {
    const QStringList lines = catalogueLines();
    ASSERT_GE(lines.size(), 900);
    for (const QString& line : lines) EXPECT_EQ(line.count(u'\t'), 9) << qPrintable(line);
    // A dropped line would be a zone this system does not know, a number
    // that does not read, or two cities of one name in a country.
    for (const char16_t* language : {u"de", u"en", u"es"})
        EXPECT_EQ(qsizetype(WorldCity::loadAll(kResources + "cities.tsv", language).size()), lines.size())
            << QStringView(language).toString().toStdString();
}

// The generator files each city under this system's canonical zone name, the
// name that every spelling of the zone resolves to.
TEST(ShippedCatalogue, ZonesAreCanonicalNamesOfThisSystem) {
    QFile zi(QStringLiteral("/usr/share/zoneinfo/tzdata.zi"));
    if (!zi.open(QIODevice::ReadOnly)) GTEST_SKIP() << "no tzdata.zi to tell links from zones";
    QSet<QString> links;
    for (const QByteArray& line : zi.readAll().split('\n'))
        if (line.startsWith("L ")) links.insert(QString::fromLatin1(line.split(' ').value(2)));
    for (const QString& line : catalogueLines()) {
        const QString zone = line.section(u'\t', 4, 4);
        EXPECT_FALSE(links.contains(zone)) << qPrintable(line);
    }
}

TEST(ShippedCatalogue, FollowsTheSelectionThePageDescribes) {
    const std::vector<WorldCity> cities = WorldCity::loadAll(kResources + "cities.tsv", u"de");
    QHash<QString, const WorldCity*> byName;
    QHash<QString, int> capitalsPerCountry;
    for (const WorldCity& c : cities) {
        byName.insert(c.name, &c);
        if (c.isCapital) ++capitalsPerCountry[c.country];
    }
    for (auto it = capitalsPerCountry.cbegin(); it != capitalsPerCountry.cend(); ++it)
        EXPECT_EQ(it.value(), 1) << "capitals of " << qPrintable(it.key());
    EXPECT_GE(capitalsPerCountry.size(), 190);

    for (const char* capital : {"Berlin", "Madrid", "Rom", "Paris", "London", "Washington, D.C.", "Ottawa",
                                "Canberra", "Brasília", "Peking", "Tokio", "Neu-Delhi", "Moskau", "Kairo",
                                "Abuja", "Nairobi", "Wien", "Bern", "Wellington", "Mexiko-Stadt"}) {
        const WorldCity* city = byName.value(QString::fromUtf8(capital));
        ASSERT_NE(city, nullptr) << capital;
        EXPECT_TRUE(city->isCapital) << capital;
    }

    // Only national capitals are flagged; a dependency's seat is a city like others.
    for (const char* seat : {"Hongkong", "Macau", "Nuuk", "Papeete", "Gibraltar"}) {
        const WorldCity* city = byName.value(QString::fromUtf8(seat));
        ASSERT_NE(city, nullptr) << seat;
        EXPECT_FALSE(city->isCapital) << seat;
    }
    // Country names in words, not initials.
    EXPECT_EQ(byName.value(QStringLiteral("London"))->country, QStringLiteral("Vereinigtes Königreich"));
    EXPECT_EQ(byName.value(QStringLiteral("Washington, D.C."))->country, QStringLiteral("Vereinigte Staaten"));
    const QRegularExpression initials(QStringLiteral("^[A-Z. ]+$"));
    for (const WorldCity& c : cities) EXPECT_FALSE(initials.match(c.country).hasMatch()) << qPrintable(c.id());

    // The population ranks cities as people know them, so the largest city
    // of a zone comes out right.
    const std::pair<const char*, const char*> larger[] = {
        {"Madrid", "Barcelona"}, {"Rom", "Mailand"},       {"Berlin", "Hamburg"},
        {"Paris", "Marseille"},  {"Moskau", "Sankt Petersburg"}, {"Istanbul", "Ankara"},
    };
    for (const auto& [big, small] : larger) {
        const WorldCity* a = byName.value(QString::fromUtf8(big));
        const WorldCity* b = byName.value(QString::fromUtf8(small));
        ASSERT_TRUE(a && b) << big << " / " << small;
        EXPECT_GT(a->population, b->population) << big << " / " << small;
    }

    // German exonyms in column 0, with the English and Spanish names behind.
    for (const char* name : {"München", "Köln", "Mailand", "Neapel", "Florenz", "Warschau", "Prag",
                             "Lissabon", "Kopenhagen", "Athen", "Brüssel"})
        EXPECT_TRUE(byName.contains(QString::fromUtf8(name))) << name;

    int millions = 0;
    QSet<QString> zones;
    for (const WorldCity& c : cities) {
        if (c.population >= 1'000'000) ++millions;
        zones.insert(c.tz);
        EXPECT_TRUE(c.lat <= 84 && c.lat >= -58) << "off the map: " << qPrintable(c.id());
    }
    EXPECT_GE(millions, 300);
    EXPECT_GE(zones.size(), 300);
}

TEST(ShippedCatalogue, OtherLanguagesUseTheirOwnNames) {
    const struct {
        const char* language;
        const char* name;
        const char* country;
    } cases[] = {
        {"en", "Munich", "Germany"},
        {"es", "Múnich", "Alemania"},
        {"en", "Mexico City", "Mexico"},
        {"es", "Ciudad de México", "México"},
        {"en", "Yangon", "Myanmar (Burma)"},
    };
    for (const auto& c : cases) {
        const QString language = QString::fromLatin1(c.language);
        const std::vector<WorldCity> cities = WorldCity::loadAll(kResources + "cities.tsv", language);
        const QString name = QString::fromUtf8(c.name);
        const auto it = std::find_if(cities.begin(), cities.end(), [&](const WorldCity& w) { return w.name == name; });
        ASSERT_NE(it, cities.end()) << c.name;
        EXPECT_EQ(it->country, QString::fromUtf8(c.country)) << c.name;
    }
}

}  // namespace
}  // namespace corvane
