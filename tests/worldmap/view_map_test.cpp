// The map view as a widget: pointer over a city shows its card, a click pins
// it, the hide waits for its timer, unchanged hovers repaint nothing; and the
// map keeps its proportions.

#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QTest>

#include "MapFixture.h"
#include "PointerDrag.h"
#include "TestWait.h"
#include "appmodel/ModelHarness.h"
#include "shell/components/Theme.h"
#include "worldmap/CityCard.h"
#include "worldmap/MapDataHint.h"
#include "worldmap/WorldMapView.h"

using namespace corvane;
using namespace corvane::testing;
namespace test = corvane::test;

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

    // The card's animations run on this clock; the frames are stepped by hand.
    qint64 animationMs = 0;

    WorldMapView& makeMap(QSize size = {900, 420}) {
        AppModel& m = make();
        ThemeProvider::attach(&host, &provider);
        provider.setColors(m.theme());
        map = new WorldMapView(m, timers.schedule(), &host);
        map->setAnimationClock([this] { return animationMs; });
        host.resize(size);
        map->setGeometry(host.rect());
        host.show();
        settle();
        return *map;
    }
    // Moves the pointer and lets the card finish easing in.
    void moveTo(QPointF at) {
        QTest::mouseMove(map, at.toPoint());
        settle();
        frameAfter(1000);
    }
    // Time on the hide timers and the animation clock, then the frame due.
    void elapse(qint64 ms) {
        timers.advance(ms);
        frameAfter(ms);
    }
    void frameAfter(qint64 ms) {
        animationMs += ms;
        map->advanceAnimation();
        settle();
    }
    QRect panel() const {
        const int m = CityCard::kShadowMargin;
        return map->card()->geometry().adjusted(m, m, -m, -m);
    }
    QColor pixel(QPoint at) const { return map->grab(QRect(at, QSize(1, 1))).toImage().pixelColor(0, 0); }
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
    h.elapse(60);
    h.elapse(CardMotion::kHideMs);
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

// On the main window a drag across the map moves the window exactly as far
// as the pointer and picks no city; a click that wobbles a little still picks
// one. Elsewhere a drag moves nothing and is no click either.
TEST(WorldMapView, ADragMovesTheMainWindowWithThePointerAndAClickStillPicks) {
    MapHarness h;
    WorldMapView& map = h.makeMap();
    map.setDragMovesWindow(true);
    h.host.move(200, 150);
    ASSERT_TRUE(test::waitUntil([&] { return h.host.pos() == QPoint(200, 150); }, 2000));
    const auto tokyoOnScreen = [&] { return map.mapToGlobal(map.cityPoint(city("Tokio")).toPoint()); };

    test::dragWithLeftButton(&h.host, tokyoOnScreen(), QPoint(200, 120), 10);
    h.settle();
    EXPECT_EQ(h.host.pos(), QPoint(400, 270));
    EXPECT_EQ(map.state().pinned(), nullptr);

    test::dragWithLeftButton(&h.host, tokyoOnScreen(), QPoint(2, 1), 3);
    h.settle();
    EXPECT_EQ(h.host.pos(), QPoint(400, 270));
    ASSERT_NE(map.state().pinned(), nullptr);
    EXPECT_EQ(map.state().pinned()->name, "Tokio");

    map.setDragMovesWindow(false);
    test::dragWithLeftButton(&h.host, map.mapToGlobal(map.cityPoint(city("Berlin")).toPoint()), QPoint(-120, 60), 6);
    h.settle();
    EXPECT_EQ(h.host.pos(), QPoint(400, 270));
    EXPECT_EQ(map.state().pinned()->name, "Tokio");
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

namespace {

// Each channel of `mid` lies strictly between those of `from` and `to`
// (where they differ).
bool between(const QColor& from, const QColor& mid, const QColor& to) {
    auto inside = [](int a, int m, int b) { return a == b ? m == a : (m - a) * (b - m) > 0; };
    return inside(from.red(), mid.red(), to.red()) && inside(from.green(), mid.green(), to.green()) &&
           inside(from.blue(), mid.blue(), to.blue()) && from != to;
}

}  // namespace

TEST(WorldMapView, TheCardEasesInSlidesBetweenCitiesAndEasesOut) {
    MapHarness h;
    WorldMapView& map = h.makeMap();
    const QPointF tokyo = map.cityPoint(city("Tokio"));
    const QPointF berlin = map.cityPoint(city("Berlin"));
    EXPECT_FALSE(map.isAnimating());

    // Easing in over 0.12 s: nothing of the card at first, then part of it.
    QTest::mouseMove(&map, tokyo.toPoint());
    h.settle();
    ASSERT_EQ(h.cardCity(), "Tokio");
    // The panel's lower right corner is plain panel, away from text and button.
    const QPoint probe = h.panel().bottomRight() - QPoint(8, 8);
    const QColor mapBelow = h.pixel(probe);
    EXPECT_TRUE(map.isAnimating());
    EXPECT_EQ(map.cardOpacity(), 0.0);
    h.frameAfter(60);
    EXPECT_DOUBLE_EQ(map.cardOpacity(), CardMotion::easeOut(0.5));
    EXPECT_GT(map.cardOpacity(), 0.5) << "ease-out runs ahead of a linear fade";
    const QColor halfway = h.pixel(probe);
    h.frameAfter(60);
    EXPECT_EQ(map.cardOpacity(), 1.0);
    EXPECT_FALSE(map.isAnimating()) << "no frames once the card stands still";
    const QColor card = h.pixel(probe);
    EXPECT_TRUE(between(mapBelow, halfway, card))
        << mapBelow.name().toStdString() << " " << halfway.name().toStdString() << " " << card.name().toStdString();

    // To Berlin: the card shows Berlin at once and slides there in 0.12 s.
    const QPoint fromTopLeft = map.card()->pos();
    QTest::mouseMove(&map, berlin.toPoint());
    h.settle();
    ASSERT_EQ(h.cardCity(), "Berlin");
    EXPECT_EQ(map.card()->pos(), fromTopLeft);
    h.frameAfter(60);
    const QPoint mid = map.card()->pos();
    h.frameAfter(60);
    const QPoint toTopLeft = map.card()->pos();
    EXPECT_FALSE(map.isAnimating());
    EXPECT_LT(toTopLeft.x(), mid.x());
    EXPECT_LT(mid.x(), fromTopLeft.x());
    EXPECT_EQ(map.cardOpacity(), 1.0);

    // Off to sea: after the hide's 0.35 s it eases out over 0.15 s, still
    // showing Berlin, and is gone with no timer left running.
    QTest::mouseMove(&map, (berlin + QPointF(0, 120)).toPoint());
    h.settle();
    h.timers.advance(MapHoverState::kHideDelayMs);
    h.settle();
    ASSERT_EQ(h.cardCity(), "Berlin");
    EXPECT_TRUE(map.isAnimating());
    h.frameAfter(75);
    EXPECT_DOUBLE_EQ(map.cardOpacity(), 1.0 - CardMotion::easeOut(0.5));
    EXPECT_EQ(map.card()->city().name, "Berlin");
    h.frameAfter(75);
    EXPECT_EQ(h.cardCity(), "-");
    EXPECT_FALSE(map.isAnimating());

    // A click shows the card at once, without easing.
    QTest::mouseClick(&map, Qt::LeftButton, {}, tokyo.toPoint());
    h.settle();
    ASSERT_EQ(h.cardCity(), "Tokio");
    EXPECT_EQ(map.cardOpacity(), 1.0);
    EXPECT_FALSE(map.isAnimating());
}

// After "Hinzufügen" the card gains its already-a-clock line; at the right
// edge (the card flipped to the left of the dot) and the bottom edge it must
// move to stay inside the map.
TEST(WorldMapView, AGrowingCardIsPlacedAnew) {
    MapHarness h;
    WorldMapView& map = h.makeMap({620, 245});
    const WorldCity& suva = city("Suva");
    QTest::mouseClick(&map, Qt::LeftButton, {}, map.cityPoint(suva).toPoint());
    h.settle();
    ASSERT_EQ(h.cardCity(), "Suva");
    auto expected = [&] {
        const QPointF at = cardPosition(QSizeF(h.panel().size()), map.cityPoint(suva) - map.mapRect().topLeft(),
                                        map.mapRect().size());
        return QRect((map.mapRect().topLeft() + at).toPoint(), h.panel().size());
    };
    const QRect before = h.panel();
    EXPECT_EQ(before, expected());
    EXPECT_LE(before.right(), map.cityPoint(suva).x() - 14) << "flipped to the left of the dot";
    EXPECT_EQ(before.bottom() + 1, int(map.mapRect().bottom()) - 4) << "held up by the bottom edge";

    map.card()->addAsClock();
    h.settle();
    const QRect after = h.panel();
    ASSERT_TRUE(map.card()->alreadyText());
    EXPECT_GT(after.height(), before.height());
    EXPECT_EQ(after, expected());
    EXPECT_EQ(after.bottom() + 1, int(map.mapRect().bottom()) - 4);
    EXPECT_LE(after.right(), map.cityPoint(suva).x() - 14);
}

// On a map lower than the card, the card hangs over the map's top edge; what
// lies outside the rounded frame is cut off, shadow included.
TEST(WorldMapView, TheCardIsCutToTheRoundedFrame) {
    MapHarness h;
    WorldMapView& map = h.makeMap({300, 400});
    const QPointF accra = map.cityPoint(city("Accra"));
    const QPoint aboveMap(int(accra.x()) + 60, int(map.mapRect().top()) - 3);
    const QColor outside = h.pixel(aboveMap);
    // Also while it fades in, drawn through its opacity effect.
    QTest::mouseMove(&map, accra.toPoint());
    h.settle();
    h.frameAfter(60);
    ASSERT_EQ(h.cardCity(), "Accra");
    ASSERT_LT(map.cardOpacity(), 1.0);
    EXPECT_EQ(h.pixel(aboveMap), outside) << "the fading card shows outside the frame";
    QTest::mouseClick(&map, Qt::LeftButton, {}, accra.toPoint());
    h.settle();
    ASSERT_EQ(h.cardCity(), "Accra");
    ASSERT_LT(h.panel().top(), map.mapRect().top()) << "the card is taller than the map";
    EXPECT_EQ(h.pixel(aboveMap), outside) << "the card shows outside the frame";
    const QRegion shown = map.card()->mask().translated(map.card()->pos());
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(QRegion(map.mapRect().toAlignedRect()).contains(shown.boundingRect()));
    // Inside the frame the card is drawn.
    const QPoint inside(aboveMap.x(), int(map.mapRect().top()) + 12);
    EXPECT_NE(h.pixel(inside), outside);
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
