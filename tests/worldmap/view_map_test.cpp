// The map view as a widget: pointer over a city shows its card, a click pins
// it, the hide waits for its timer, unchanged hovers repaint nothing; and the
// map keeps its proportions.

#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QTest>

#include "MapFixture.h"
#include "appmodel/ModelHarness.h"
#include "shell/components/Theme.h"
#include "worldmap/CityCard.h"
#include "worldmap/MapDataHint.h"
#include "worldmap/WorldMapView.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

const WorldCity& city(const char* name) {
    for (const WorldCity& c : WorldCity::all())
        if (c.name == QString::fromUtf8(name)) return c;
    throw std::runtime_error("no such city in the fixture");
}

class PaintCounter : public QObject {
public:
    int paints = 0;
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++paints;
            painted += static_cast<QPaintEvent*>(e)->region();
        }
        return false;
    }
};

struct MapHarness : ModelHarness {
    ManualTimers timers;
    QWidget host;
    ThemeProvider provider;
    WorldMapView* map = nullptr;

    WorldMapView& makeMap(QSize size = {900, 420}) {
        AppModel& m = make();
        ThemeProvider::attach(&host, &provider);
        provider.setColors(m.theme());
        map = new WorldMapView(m, timers.schedule(), &host);
        host.resize(size);
        map->setGeometry(host.rect());
        host.show();
        settle();
        return *map;
    }
    void moveTo(QPointF at) {
        QTest::mouseMove(map, at.toPoint());
        settle();
    }
    QString cardCity() const { return map->card() ? map->card()->city().name : QStringLiteral("-"); }
};

}  // namespace

TEST(WorldMapView, KeepsItsProportionsCentredInTheSpaceItGets) {
    MapHarness h;
    WorldMapView& map = h.makeMap({900, 420});
    // 900 / (360 / 142) = 355 high, centred vertically.
    EXPECT_EQ(map.mapRect(), QRectF(0, 32, 900, 355));
    h.host.resize(1000, 300);
    map.setGeometry(h.host.rect());
    EXPECT_EQ(map.mapRect().height(), 300);
    EXPECT_EQ(map.mapRect().width(), 760);
    EXPECT_EQ(map.mapRect().left(), 120);
}

TEST(WorldMapView, HoverShowsTheCardAndAClickPinsIt) {
    MapHarness h;
    WorldMapView& map = h.makeMap();
    const QPointF tokyo = map.cityPoint(city("Tokio"));

    h.moveTo(tokyo + QPointF(3, 2));
    EXPECT_EQ(h.cardCity(), "Tokio");
    ASSERT_TRUE(map.card());
    EXPECT_EQ(map.card()->closeButton(), nullptr);
    EXPECT_TRUE(map.rect().contains(map.card()->geometry().adjusted(CityCard::kShadowMargin, CityCard::kShadowMargin,
                                                                    -CityCard::kShadowMargin, -CityCard::kShadowMargin)));

    // Off to the open sea: the card waits 0.35 s, then goes.
    h.moveTo(tokyo + QPointF(0, 80));
    h.timers.advance(300);
    EXPECT_EQ(h.cardCity(), "Tokio");
    h.timers.advance(60);
    h.settle();
    EXPECT_EQ(h.cardCity(), "-");

    // A click pins it: the close button appears, leaving does not hide it.
    QTest::mouseClick(&map, Qt::LeftButton, {}, tokyo.toPoint());
    h.settle();
    ASSERT_EQ(h.cardCity(), "Tokio");
    ASSERT_NE(map.card()->closeButton(), nullptr);
    h.moveTo(map.cityPoint(city("Berlin")));
    h.timers.advance(1000);
    h.settle();
    EXPECT_EQ(h.cardCity(), "Tokio");
    EXPECT_EQ(map.state().hovered()->name, "Berlin");

    // The close button closes it through the map.
    QTest::mouseClick(map.card()->closeButton(), Qt::LeftButton);
    h.settle();
    EXPECT_EQ(h.cardCity(), "-");
    EXPECT_EQ(map.state().pinned(), nullptr);
}

TEST(WorldMapView, PressingOnTheCardIsNoClickOnTheMap) {
    MapHarness h;
    WorldMapView& map = h.makeMap();
    QTest::mouseClick(&map, Qt::LeftButton, {}, map.cityPoint(city("Mumbai")).toPoint());
    h.settle();
    ASSERT_EQ(h.cardCity(), "Mumbai");
    CityCard* card = map.card();
    // Its empty corner: the panel's top right, inside the padding.
    const QPoint corner = card->panelRect().topRight() + QPoint(-4, 4);
    QTest::mouseClick(card, Qt::LeftButton, {}, corner);
    h.settle();
    EXPECT_EQ(map.state().pinned(), &city("Mumbai")) << "a click on water would have unpinned";
}

TEST(WorldMapView, RepaintsOnlyWhenTheShownCityChanges) {
    MapHarness h;
    WorldMapView& map = h.makeMap();
    PaintCounter counter;
    map.installEventFilter(&counter);
    const QPointF tokyo = map.cityPoint(city("Tokio"));
    h.moveTo(tokyo);
    ASSERT_EQ(h.cardCity(), "Tokio");
    // Repaints reach the window on its next frame, a few milliseconds later.
    auto settleFrames = [&] {
        h.settle();
        QTest::qWait(40);
    };
    settleFrames();
    ASSERT_GT(counter.paints, 0) << "the new city's highlight is painted";
    counter.paints = 0;
    counter.painted = {};
    for (int i = 1; i <= 5; ++i) {
        h.moveTo(tokyo + QPointF(i % 3, 1));
        settleFrames();
    }
    EXPECT_EQ(counter.paints, 0) << "the same city under the pointer repaints nothing";

    // A tick within the same ten seconds leaves the layers alone.
    h.advance(1);
    settleFrames();
    EXPECT_FALSE(counter.painted.intersects(QRect(map.cityPoint(city("Berlin")).toPoint(), QSize(2, 2))));
}

TEST(WorldMapView, MarksTheClocksCitiesAndFollowsTheList) {
    MapHarness h;
    WorldMapView& map = h.makeMap();
    EXPECT_EQ(map.clockMarks().size(), 1) << "the default clock's city";
    QTest::mouseClick(&map, Qt::LeftButton, {}, map.cityPoint(city("Mumbai")).toPoint());
    h.settle();
    ASSERT_TRUE(map.card());
    map.card()->addAsClock();
    h.settle();
    EXPECT_EQ(map.clockMarks().value(city("Mumbai").id()), int(h.model->settings().clocks.size()));
    EXPECT_EQ(h.cardCity(), "Mumbai") << "adding keeps the card";
}

TEST(WorldMapView, SaysWhyItsDataIsMissing) {
    using S = ResourceState;
    const struct {
        S land, borders, cities;
        const char* hint;
    } cases[] = {
        {S::ok, S::ok, S::ok, ""},
        {S::missing, S::ok, S::ok, "Kartendaten unvollständig: land.bin fehlt"},
        {S::ok, S::unreadable, S::missing, "Kartendaten unvollständig: borders.bin ist unlesbar, cities.tsv fehlt"},
        {S::missing, S::missing, S::unreadable,
         "Kartendaten unvollständig: land.bin fehlt, borders.bin fehlt, cities.tsv ist unlesbar"},
    };
    for (const auto& c : cases) EXPECT_EQ(mapDataHint(c.land, c.borders, c.cities), QString::fromUtf8(c.hint));

    // The fixture folder holds a catalogue but no shapes: the view says so,
    // in light text across the middle of the otherwise empty sea.
    MapHarness h;
    WorldMapView& map = h.makeMap();
    const QString expected = QStringLiteral("Kartendaten unvollständig: land.bin fehlt, borders.bin fehlt");
    EXPECT_EQ(mapDataHint(), expected);
    EXPECT_EQ(map.accessibleDescription(), expected);
    const QImage image = map.grab().toImage();
    const QRect middle = QRectF(map.mapRect().center() - QPointF(200, 10), QSizeF(400, 20)).toRect();
    int light = 0;
    for (int y = middle.top(); y <= middle.bottom(); ++y)
        for (int x = middle.left(); x <= middle.right(); ++x) {
            const QColor c = image.pixelColor(x * image.width() / map.width(), y * image.height() / map.height());
            if (c.red() > 160 && c.green() > 160 && c.blue() > 160) ++light;
        }
    EXPECT_GT(light, 100);
}
