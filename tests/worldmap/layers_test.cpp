#include <gtest/gtest.h>

#include "worldmap/MapLayerWidgets.h"
#include "worldmap/MapLayers.h"
#include "worldmap/SunMoon.h"

#include <QDateTime>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <vector>

using namespace corvane;

namespace {

qint64 utc(const char* iso) {
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
    EXPECT_TRUE(t.isValid()) << iso;
    return t.toMSecsSinceEpoch();
}

QImage canvas(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The pixel that covers the point (pixel i spans i ... i + 1).
QColor at(const QImage& image, QPointF p) { return image.pixelColor(int(std::floor(p.x())), int(std::floor(p.y()))); }

// Colours compared loosely: gradients and antialiasing move a channel or two.
bool near(const QColor& a, const QColor& b, int tolerance = 12) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

WorldCity city(const char* name, double lat, double lon, qint64 population, bool capital = false) {
    WorldCity c;
    c.name = QString::fromUtf8(name);
    c.country = QStringLiteral("Testland");
    c.lat = lat;
    c.lon = lon;
    c.tz = QStringLiteral("UTC");
    c.population = population;
    c.isCapital = capital;
    return c;
}

Shape ring(std::initializer_list<ShapePoint> points) { return Shape(points); }

}  // namespace

TEST(MapGeometry, ScaleFactorsByWidth) {
    struct Case {
        double width, k, g;
    } cases[] = {{600, 0.75, 0.8}, {450, 0.75, 0.8}, {810, 0.9, 0.9}, {900, 1, 1}, {1800, 1, 2}};
    for (const Case& c : cases) {
        const SkyScale s = skyScale(c.width);
        EXPECT_DOUBLE_EQ(s.k, c.k) << c.width;
        EXPECT_DOUBLE_EQ(s.g, c.g) << c.width;
    }
}

TEST(MapGeometry, MeridiansAndProjection) {
    EXPECT_DOUBLE_EQ(mapX(0, 900), 450);
    EXPECT_DOUBLE_EQ(mapX(midnightLongitude(0), 900), 0);
    EXPECT_DOUBLE_EQ(mapX(midnightLongitude(90), 900), 225);
    EXPECT_DOUBLE_EQ(midnightLongitude(-90), 90);
    EXPECT_DOUBLE_EQ(midnightLongitude(-180), 0);
    EXPECT_DOUBLE_EQ(midnightLongitude(179.5), -0.5);
    EXPECT_DOUBLE_EQ(mapY(84, 142), 0);
    EXPECT_DOUBLE_EQ(mapY(-58, 142), 142);
    EXPECT_DOUBLE_EQ(mapY(0, 284), 168);
    EXPECT_EQ(mapRedrawKey(utc("2026-06-21T12:00:09Z")), mapRedrawKey(utc("2026-06-21T12:00:00Z")));
    EXPECT_EQ(mapRedrawKey(utc("2026-06-21T12:00:10Z")), mapRedrawKey(utc("2026-06-21T12:00:00Z")) + 1);
    EXPECT_EQ(mapKeyMSecs(mapRedrawKey(utc("2026-06-21T12:00:07Z"))), utc("2026-06-21T12:00:00Z"));
}

TEST(MapGeometry, CityMarksAtPopulationThresholds) {
    struct Case {
        qint64 population;
        bool hovered;
        double dot, glowRadius, glowOpacity;
    } cases[] = {
        {0, false, 1.3, 3.5, 0.25},           {299'999, false, 1.3, 3.5, 0.25},
        {300'000, false, 1.6, 3.5, 0.25},     {999'999, false, 1.6, 3.5, 0.25},
        {1'000'000, false, 2.1, 3.5, 0.5},    {4'999'999, false, 2.1, 3.5, 0.5},
        {5'000'000, false, 2.7, 6.0, 0.5},    {9'999'999, false, 2.7, 6.0, 0.5},
        {10'000'000, false, 3.2, 6.0, 0.5},   {0, true, 4.8, 3.5, 0.25},
        {20'000'000, true, 4.8, 6.0, 0.5},
    };
    for (const Case& c : cases) {
        const CityMarkStyle s = cityMarkStyle(c.population, c.hovered, 0.75);
        EXPECT_DOUBLE_EQ(s.dotRadius, 0.75 * c.dot) << c.population;
        EXPECT_DOUBLE_EQ(s.glowRadius, 0.75 * c.glowRadius) << c.population;
        EXPECT_DOUBLE_EQ(s.glowOpacity, c.glowOpacity) << c.population;
    }
}

TEST(MapGeometry, LabelBoxStaysInsideTheLayer) {
    EXPECT_DOUBLE_EQ(labelBoxLeft(450, 100, 900), 394);  // centred: 450 - 50 - 6
    EXPECT_DOUBLE_EQ(labelBoxLeft(10, 100, 900), 2);
    EXPECT_DOUBLE_EQ(labelBoxLeft(-30, 100, 900), 2);
    // Box width is tw + 12, so the right end lands 2 before the edge.
    EXPECT_DOUBLE_EQ(labelBoxLeft(890, 100, 900), 786);
    EXPECT_DOUBLE_EQ(labelBoxLeft(890, 100, 900) + 112, 898);
}

TEST(MapGeometry, CoordinateTextInGerman) {
    const QString n = QStringLiteral("N"), s = QStringLiteral("S");
    EXPECT_EQ(coordinateText(-23.44, n, s), QStringLiteral("23,4° S"));
    EXPECT_EQ(coordinateText(52.52, n, s), QStringLiteral("52,5° N"));
    EXPECT_EQ(coordinateText(0, n, s), QStringLiteral("0,0° N"));
    EXPECT_EQ(coordinateText(-0.04, n, s), QStringLiteral("0,0° S"));
}

TEST(NightRaster, ShadeFromDayToFullNight) {
    struct Case {
        double altitude;
        int r, g, b, a;
    } cases[] = {
        {30, 0, 0, 0, 0}, {0.8, 0, 0, 0, 0}, {-18, 5, 8, 26, 178}, {-60, 5, 8, 26, 178}, {-90, 5, 8, 26, 178},
    };
    for (const Case& c : cases) {
        const NightShade s = nightShade(c.altitude);
        EXPECT_EQ((std::array<int, 4>{s.r, s.g, s.b, s.a}), (std::array<int, 4>{c.r, c.g, c.b, c.a})) << c.altitude;
    }
    // Twilight rises steadily and stays premultiplied (no channel above alpha).
    int previous = 0;
    for (double h = 0.7; h >= -18; h -= 0.1) {
        const NightShade s = nightShade(h);
        EXPECT_GE(s.a, previous) << h;
        EXPECT_LE(std::max({s.r, s.g, s.b}), s.a) << h;
        previous = s.a;
    }
    EXPECT_GT(nightShade(-1).a, 0);
}

TEST(NightRaster, ShadesTheSideAwayFromTheSunAndIsCachedByKey) {
    const qint64 noon = utc("2026-06-21T12:00:00Z");
    const QImage image = NightLayer::makeImage(noon);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(720, 284));
    EXPECT_EQ(image.format(), QImage::Format_RGBA8888_Premultiplied);

    auto pixel = [&](double lon, double lat) {
        const int c = int((lon + 180) / 360 * 720);
        const int r = int((84 - lat) / 142 * 284);
        const uchar* p = image.constScanLine(r) + 4 * c;
        return std::array<int, 4>{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(pixel(10, 20), (std::array<int, 4>{0, 0, 0, 0}));           // under the sun
    EXPECT_EQ(pixel(170, 80), (std::array<int, 4>{0, 0, 0, 0}));          // midnight sun in the Arctic
    EXPECT_EQ(pixel(179, -50), (std::array<int, 4>{5, 8, 26, 178}));      // deep night
    EXPECT_EQ(pixel(-175, 10), (std::array<int, 4>{5, 8, 26, 178}));
    const auto dusk = pixel(95, 0);                                       // about 5° below the horizon
    EXPECT_GT(dusk[3], 0);
    EXPECT_LT(dusk[3], 178);

    // Asking again within the ten seconds hands back the kept image; a new
    // key replaces it.
    EXPECT_EQ(NightLayer::makeImage(noon + 9'000).cacheKey(), image.cacheKey());
    const QImage later = NightLayer::makeImage(noon + 3 * 3'600'000);
    EXPECT_NE(later.cacheKey(), image.cacheKey());
    EXPECT_NE(later, image);
}

TEST(MoonDisc, LitPartFollowsThePhase) {
    const QPointF c(50, 50);
    const double r = 20;
    struct Case {
        double phase;
        bool left, centre, right;
    } cases[] = {
        {0, false, false, false},  {45, false, false, true}, {90, false, false, true}, {135, false, true, true},
        {180, true, true, true},   {270, true, false, false}, {315, true, false, false},
    };
    for (const Case& t : cases) {
        const QPainterPath lit = moonLitPath(c, r, t.phase);
        EXPECT_EQ(lit.contains(c + QPointF(-15, 0)), t.left) << t.phase;
        EXPECT_EQ(lit.contains(c + QPointF(2, 0)) && lit.contains(c + QPointF(-2, 0)), t.centre) << t.phase;
        EXPECT_EQ(lit.contains(c + QPointF(15, 0)), t.right) << t.phase;
        EXPECT_FALSE(lit.contains(c + QPointF(0, -r - 1))) << t.phase;
    }
    EXPECT_NEAR(moonLitPath(c, r, 90).boundingRect().width(), r, 0.01);
}

TEST(BaseMap, LandHolesShadowAndBorders) {
    const QSize size(720, 284);  // two pixels per degree
    // A square continent at 0...40 E, 0...40 N with a lake at 15...25, a
    // two-point scrap that must not turn into a filled sliver, and a border
    // along 20 S.
    const ShapeList land{
        ring({{0, 0}, {40, 0}, {40, 40}, {0, 40}}),
        ring({{15, 15}, {25, 15}, {25, 25}, {15, 25}}),
        ring({{-100, 0}, {-60, 40}}),
    };
    const ShapeList borders{ring({{-60, -20}, {60, -20}}), ring({{100, 10}})};
    QImage image = canvas(size);
    {
        QPainter p(&image);
        BaseMapLayer{QSizeF(size)}.draw(p, land, borders);
    }
    const QSizeF s(size);
    auto pixel = [&](double lon, double lat) { return at(image, mapPoint(lon, lat, s)); };

    const QColor inland = pixel(5, 35);
    EXPECT_GT(inland.green(), inland.blue()) << "land is green";
    const QColor lake = pixel(20, 20);
    EXPECT_GT(lake.blue(), lake.green()) << "the inner ring is water";
    const QColor scrap = pixel(-80, 20);
    EXPECT_GT(scrap.blue(), scrap.green()) << "a two-point ring is skipped";
    for (int y = 0; y < size.height(); ++y) ASSERT_EQ(image.pixelColor(0, y).alpha(), 255) << "ocean is opaque";

    // The shadow falls below the land (offset down), not above it: compare
    // with open sea at the same height beside the continent.
    auto darkening = [&](double lat, double dy) {
        return at(image, mapPoint(55, lat, s) + QPointF(0, dy)).lightness() -
               at(image, mapPoint(20, lat, s) + QPointF(0, dy)).lightness();
    };
    EXPECT_GE(darkening(0, 1.5), 5);
    EXPECT_GE(darkening(0, 2.5), 2);
    EXPECT_LE(darkening(40, -2.5), 1);

    // The border line is lighter than the sea beside it.
    EXPECT_GT(pixel(-30, -20).lightness(), at(image, mapPoint(-30, -20, s) + QPointF(0, 4)).lightness());
}

TEST(SkyLayer, DotsGlowsBadgesAndHover) {
    const QSize size(900, 355);
    const qint64 noon = utc("2026-06-21T12:00:00Z");
    const MoonPosition moon = moonPosition(noon);

    std::vector<WorldCity> cities{
        city("Tagstadt", 10, 60, 6'000'000),
        city("Nachtstadt", -30, -150, 6'000'000),
        city("Uhrstadt", -20, 120, 800'000),
        city("Zeigestadt", 40, -120, 10'000),
        city("Kleinstadt", 40, -100, 10'000),
    };
    for (const WorldCity& c : cities)
        ASSERT_GT(std::hypot(c.lon - moon.lon, c.lat - moon.lat), 15) << "moon covers " << c.name.toStdString();

    SkyLayer layer{mapRedrawKey(noon), QSizeF(size), cities[3].id(), {{cities[2].id(), 7}}};
    QImage image = canvas(size);
    {
        QPainter p(&image);
        layer.draw(p, cities);
    }
    const QSizeF s(size);
    auto pos = [&](const WorldCity& c) { return mapPoint(c.lon, c.lat, s); };

    EXPECT_TRUE(near(at(image, pos(cities[0])), Qt::white)) << "a day dot is white";
    EXPECT_TRUE(near(at(image, pos(cities[1])), QColor::fromRgbF(1.0f, 0.86f, 0.5f))) << "a night dot is warm";
    // Outside the dot (2.7) but within the glow (6): the night city glows,
    // the day city does not.
    EXPECT_GT(at(image, pos(cities[1]) + QPointF(4.5, 0)).alpha(), 20);
    EXPECT_EQ(at(image, pos(cities[0]) + QPointF(4.5, 0)).alpha(), 0);
    // A clock badge replaces the dot: red disc of radius 6.5.
    EXPECT_TRUE(near(at(image, pos(cities[2]) + QPointF(-4.5, 0)), QColor::fromRgbF(0.95f, 0.33f, 0.40f), 20));
    // The hovered city's dot reaches 4.8 where an ordinary one stops at 1.3.
    EXPECT_GT(at(image, pos(cities[3]) + QPointF(3.5, 0)).alpha(), 200);
    EXPECT_EQ(at(image, pos(cities[4]) + QPointF(3.5, 0)).alpha(), 0);

    // The noon label sits in a dark box at the top, over the sun's meridian.
    const SubsolarPoint sun = subsolarPoint(noon);
    const QColor labelBox = at(image, QPointF(mapX(sun.lon, size.width()) - 40, 8));
    EXPECT_GT(labelBox.alpha(), 100);
    EXPECT_LT(labelBox.lightness(), 80);
}

TEST(SkyLayer, EmptyCatalogueAndEmptySizeDrawSafely) {
    QImage image = canvas(QSize(300, 120));
    QPainter p(&image);
    SkyLayer{0, QSizeF(300, 120), std::nullopt, {}}.draw(p, std::span<const WorldCity>());
    SkyLayer{0, QSizeF(0, 0), std::nullopt, {}}.draw(p, std::span<const WorldCity>());
    BaseMapLayer{QSizeF(-5, 10)}.draw(p, {}, {});
    NightLayer{0, QSizeF()}.draw(p);
}

namespace {

struct CountingLayer {
    QSizeF size;
    int colour = 0;
    static inline int draws = 0;
    friend bool operator==(const CountingLayer&, const CountingLayer&) = default;
    void draw(QPainter& p) const {
        ++draws;
        p.fillRect(QRectF(QPointF(), size), QColor::fromHsv(colour, 255, 255));
    }
};

}  // namespace

TEST(LayerPicture, DrawsAgainOnlyWhenTheValueOrRatioChanges) {
    QImage target = canvas(QSize(40, 20));
    QPainter p(&target);
    LayerPicture<CountingLayer> picture;
    CountingLayer::draws = 0;
    picture.paint(p, {QSizeF(40, 20), 0}, 1);
    picture.paint(p, {QSizeF(40, 20), 0}, 1);
    EXPECT_EQ(CountingLayer::draws, 1);
    picture.paint(p, {QSizeF(40, 20), 120}, 1);
    EXPECT_EQ(CountingLayer::draws, 2);
    EXPECT_TRUE(near(target.pixelColor(5, 5), QColor::fromHsv(120, 255, 255), 2));
    picture.paint(p, {QSizeF(40, 20), 120}, 2);
    picture.paint(p, {QSizeF(30, 20), 120}, 2);
    EXPECT_EQ(CountingLayer::draws, 4);
    picture.paint(p, {QSizeF(0, 20), 120}, 2);
    EXPECT_EQ(CountingLayer::draws, 4);
}

TEST(LayerWidgets, IgnoreThePointerAndPaintTheirLayers) {
    QWidget host;
    host.resize(360, 142);
    BaseMapWidget base(&host);
    NightLayerWidget night(&host);
    SkyLayerWidget sky(&host);
    for (QWidget* w : {static_cast<QWidget*>(&base), static_cast<QWidget*>(&night), static_cast<QWidget*>(&sky)}) {
        w->setGeometry(0, 0, 360, 142);
        EXPECT_TRUE(w->testAttribute(Qt::WA_TransparentForMouseEvents));
    }
    const qint64 key = mapRedrawKey(utc("2026-12-21T00:00:00Z"));
    night.setKey(key);
    sky.setKey(key);
    sky.setHoveredID(QStringLiteral("Nirgendwo|Testland"));
    sky.setClockMarks({{QStringLiteral("Nirgendwo|Testland"), 2}});
    EXPECT_EQ(sky.layer(), (SkyLayer{key, QSizeF(360, 142), QStringLiteral("Nirgendwo|Testland"),
                                     {{QStringLiteral("Nirgendwo|Testland"), 2}}}));

    const MoonPosition moon = moonPosition(mapKeyMSecs(key));
    ASSERT_GT(std::hypot(moon.lon - 0, moon.lat + 36), 30);
    ASSERT_GT(std::hypot(moon.lon - 160, moon.lat + 36), 30);
    const QImage shot = host.grab().toImage();
    // The ocean shows through; at midnight UTC Greenwich lies in the night
    // shade, which darkens it against the day side near the date line.
    const QColor greenwich = shot.pixelColor(180, 120);
    const QColor dateLine = shot.pixelColor(340, 120);
    EXPECT_EQ(greenwich.alpha(), 255);
    EXPECT_LT(greenwich.lightness(), dateLine.lightness());
}
