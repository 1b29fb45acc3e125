// Renders the map as the view stacks it, at two fixed moments, into
// build/gallery/ for a person to look at, and checks what a glance at the
// pictures would check: the clock badges are there and day and night fall
// where they must.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "appmodel/AppModel.h"
#include "worldmap/MapLayerWidgets.h"
#include "worldmap/SunMoon.h"

using namespace corvane;

namespace {

ClockEntry clockIn(const char* zone) {
    ClockEntry c = ClockEntry::makeNew();
    c.timeZoneID = QString::fromLatin1(zone);
    return c;
}

// Clock numbers by city, the way the view numbers its clocks.
ClockMarks marksFor(const std::vector<ClockEntry>& clocks) {
    ClockMarks marks;
    const CityLookup lookup(WorldCity::allMostPopulousFirst());
    for (std::size_t i = 0; i < clocks.size(); ++i) {
        const WorldCity* city = lookup.find(clocks[i], QStringLiteral("UTC"));
        if (city && !marks.contains(city->id())) marks.insert(city->id(), int(i) + 1);
    }
    return marks;
}

QImage render(const char* iso, const ClockMarks& marks, QSize size) {
    const qint64 msecs = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate).toMSecsSinceEpoch();
    QWidget host;
    host.resize(size);
    BaseMapWidget base(&host);
    NightLayerWidget night(&host);
    SkyLayerWidget sky(&host);
    for (QWidget* w :
         {static_cast<QWidget*>(&base), static_cast<QWidget*>(&night), static_cast<QWidget*>(&sky)})
        w->setGeometry(QRect(QPoint(), size));
    night.setKey(mapRedrawKey(msecs));
    sky.setKey(mapRedrawKey(msecs));
    sky.setClockMarks(marks);
    return host.grab().toImage();
}

void save(const QImage& image, const char* name) {
    const QString dir = QStringLiteral(CORVANE_BUILD_DIR "/gallery");
    QDir().mkpath(dir);
    EXPECT_TRUE(image.save(dir + QLatin1Char('/') + QLatin1String(name)));
}

}  // namespace

TEST(MapGallery, SolsticeMomentsWithThreeClocks) {
    const std::vector<ClockEntry> clocks{clockIn("Europe/Berlin"), clockIn("America/New_York"),
                                         clockIn("Asia/Tokyo")};
    const ClockMarks marks = marksFor(clocks);
    if (!WorldCity::all().empty()) {
        EXPECT_EQ(marks.size(), 3);
    }

    const QSize size(1600, int(std::round(1600 / kMapWidthPerHeight)));
    const QImage june = render("2026-06-21T12:00:00Z", marks, size);
    const QImage december = render("2026-12-21T00:00:00Z", marks, size);
    save(june, "map-june-noon.png");
    save(december, "map-december-midnight.png");
    // The smallest map a window shows: dots stop shrinking, labels stay legible.
    save(render("2026-12-21T00:00:00Z", marks, QSize(600, 237)), "map-small-december.png");
    ASSERT_EQ(june.size(), size);

    // The Pacific south of the date line lies in the night in June at noon
    // UTC and in the day in December at midnight UTC.
    const QPoint pacific(int(mapX(-170, size.width())), int(mapY(-40, size.height())));
    EXPECT_LT(june.pixelColor(pacific).lightness() + 10, december.pixelColor(pacific).lightness());
}

TEST(MapGallery, ShippedLandIsDrawnWhereItBelongs) {
    ASSERT_FALSE(MapShapes::land().empty());
    ASSERT_FALSE(MapShapes::borders().empty());
    const QSize size(1600, 631);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        BaseMapLayer{QSizeF(size)}.draw(p);
    }
    save(image, "map-base.png");
    struct Probe {
        const char* place;
        double lat, lon;
        bool land;
    } probes[] = {
        {"Sahara", 23, 10, true},         {"Mid-Atlantic", 30, -40, false},  {"Siberia", 62, 100, true},
        {"Chukotka", 67, 177, true},      {"Alaska", 63, -155, true},        {"Norwegian Sea", 67, 0, false},
        {"Caspian Sea", 42, 50.5, false}, {"Southern Ocean", -57, 0, false}, {"Pacific", -20, -130, false},
    };
    for (const Probe& p : probes) {
        const QColor c = image.pixelColor(int(mapX(p.lon, size.width())), int(mapY(p.lat, size.height())));
        EXPECT_EQ(c.green() > c.blue(), p.land) << p.place;
    }
    // The antimeridian: no land band runs across the Atlantic or Europe's
    // northern seas at the latitudes where the unsplit Eurasia ring jumped.
    for (double lat = 65; lat <= 69; lat += 0.5) {
        const QColor c = image.pixelColor(int(mapX(-5, size.width())), int(mapY(lat, size.height())));
        EXPECT_LT(c.green(), c.blue()) << lat;
    }
}
