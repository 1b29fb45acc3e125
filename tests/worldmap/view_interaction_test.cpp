// What the map decides from the pointer: the city within reach, where the
// card goes, the hover / pin state with its delayed hide, and the clocks'
// marks.

#include <gtest/gtest.h>

#include "MapFixture.h"
#include "appmodel/ModelHarness.h"
#include "worldmap/MapInteraction.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

WorldCity cityAt(const char* name, double lat, double lon, qint64 population = 1000) {
    WorldCity c;
    c.name = QString::fromUtf8(name);
    c.country = QStringLiteral("Testland");
    c.lat = lat;
    c.lon = lon;
    c.tz = QStringLiteral("UTC");
    c.population = population;
    return c;
}

// The point of (lat 0, lon 0) on a map of width w: its centre column.
QPointF centre(double w) { return {w / 2, w / (360.0 / 142.0) * 84.0 / 142.0}; }

}  // namespace

TEST(NearestCity, ReachGrowsWithTheMapButNeverBelowEightPixels) {
    const std::vector<WorldCity> cities{cityAt("Null", 0, 0)};
    struct Case {
        double width;
        double offset;
        bool found;
    };
    for (const Case& c : {Case{880, 7.9, true}, Case{880, 8.0, true}, Case{880, 8.1, false},
                          Case{1320, 11.9, true}, Case{1320, 12.1, false}, Case{300, 7.9, true},
                          Case{300, 8.1, false}}) {
        const QSizeF size(c.width, c.width * 142 / 360);
        const QPointF at = centre(c.width) + QPointF(c.offset, 0);
        EXPECT_EQ(nearestCity(cities, at, size) != nullptr, c.found) << c.width << " " << c.offset;
    }
}

TEST(NearestCity, TheCloserCityWinsAndTiesGoToTheLaterOne) {
    const QSizeF size(1000, 1000 * 142 / 360.0);
    const double perDegree = 1000 / 360.0;
    // Least populous first, as the catalogue is.
    const std::vector<WorldCity> twins{cityAt("Klein", 0, 0, 10), cityAt("Gross", 0, 0, 20)};
    EXPECT_EQ(nearestCity(twins, centre(1000), size)->name, "Gross");

    // A later city farther away does not take over; a closer earlier one keeps it.
    const std::vector<WorldCity> apart{cityAt("Nah", 0, 0, 10), cityAt("Fern", 0, 2 * 1 / perDegree * 3, 20)};
    EXPECT_EQ(nearestCity(apart, centre(1000) + QPointF(1, 0), size)->name, "Nah");
    EXPECT_EQ(nearestCity(apart, centre(1000) + QPointF(5, 0), size)->name, "Fern");

    EXPECT_EQ(nearestCity({}, centre(1000), size), nullptr);
}

TEST(CardPosition, FlipsAtTheRightEdgeAndStaysInsideTopAndBottom) {
    const QSizeF map(800, 315);
    const QSizeF card(230, 150);
    struct Case {
        QPointF city;
        QPointF expected;
    };
    for (const Case& c : {
             Case{{100, 150}, {114, 75}},       // right of the dot, centred on it
             Case{{556, 150}, {570, 75}},       // 556 + 14 + 230 = 800 still fits
             Case{{557, 150}, {313, 75}},       // one more and it flips to the left
             Case{{790, 20}, {546, 4}},         // right edge and top edge at once
             Case{{100, 310}, {114, 161}},      // kept 4 above the bottom
             Case{{10, 150}, {24, 75}},
         }) {
        EXPECT_EQ(cardPosition(card, c.city, map), c.expected) << c.city.x() << "," << c.city.y();
    }
    // On a map lower than the card, the bottom rule wins over the top one;
    // and a flipped card never starts left of 4.
    EXPECT_EQ(cardPosition(card, {100, 50}, QSizeF(800, 100)), QPointF(114, -54));
    EXPECT_EQ(cardPosition(card, {200, 50}, QSizeF(300, 315)), QPointF(4, 4));
}

namespace {

struct Machine {
    ManualTimers timers;
    MapHoverState state{timers.schedule()};
    WorldCity tokyo = cityAt("Tokio", 35, 139);
    WorldCity berlin = cityAt("Berlin", 52, 13);
    int changes = 0;
    Machine() {
        state.onChange = [this] { ++changes; };
    }
    QString shown() const { return state.shown() ? state.shown()->name : QStringLiteral("-"); }
};

}  // namespace

TEST(MapHoverState, HidesOnlyAfterTheLastLeaveAndNotWhileOverTheCard) {
    struct Step {
        const char* what;
        qint64 wait;  // ms after the step
        const char* shown;
    };
    // Each scenario is a list of steps; a step's city letter: t Tokyo, b Berlin,
    // w water (no city within reach), l leave the map, c / C enter / leave the
    // card, p click on Tokyo, x click on water, z close.
    const std::vector<std::pair<const char*, std::vector<Step>>> scenarios{
        {"hover then leave hides after 0.35 s",
         {{"t", 0, "Tokio"}, {"l", 349, "Tokio"}, {"", 1, "-"}}},
        {"moving to another city within 0.35 s keeps the card",
         {{"t", 0, "Tokio"}, {"w", 300, "Tokio"}, {"b", 100, "Berlin"}, {"", 1000, "Berlin"}}},
        {"every leave schedules anew",
         {{"t", 0, "Tokio"}, {"w", 200, "Tokio"}, {"w", 200, "Tokio"}, {"", 149, "Tokio"}, {"", 1, "-"}}},
        {"pointer onto the card keeps it; leaving the card hides it",
         {{"t", 0, "Tokio"}, {"c", 1000, "Tokio"}, {"C", 349, "Tokio"}, {"", 1, "-"}}},
        {"a leave that fires while over the card does nothing",
         {{"t", 0, "Tokio"}, {"l", 100, "Tokio"}, {"c", 1000, "Tokio"}}},
        {"a pinned card ignores hover and leave",
         {{"p", 0, "Tokio"}, {"b", 0, "Tokio"}, {"l", 1000, "Tokio"}, {"C", 1000, "Tokio"}}},
        {"a click on water unpins; the hovered city stays until the next hide",
         {{"p", 0, "Tokio"}, {"b", 0, "Tokio"}, {"x", 1000, "Berlin"}, {"l", 350, "-"}}},
        {"a click on the pinned city pins it again",
         {{"p", 0, "Tokio"}, {"p", 0, "Tokio"}, {"l", 1000, "Tokio"}}},
        {"close clears pin and hover at once",
         {{"p", 0, "Tokio"}, {"z", 0, "-"}, {"t", 0, "Tokio"}}},
        {"click on water with nothing shown stays idle", {{"x", 1000, "-"}}},
    };
    for (const auto& [name, steps] : scenarios) {
        Machine m;
        for (const Step& s : steps) {
            switch (s.what[0]) {
                case 't': m.state.pointerMoved(&m.tokyo); break;
                case 'b': m.state.pointerMoved(&m.berlin); break;
                case 'w': m.state.pointerMoved(nullptr); break;
                case 'l': m.state.pointerLeft(); break;
                case 'c': m.state.cardHoverChanged(true); break;
                case 'C': m.state.cardHoverChanged(false); break;
                case 'p': m.state.tapped(&m.tokyo); break;
                case 'x': m.state.tapped(nullptr); break;
                case 'z': m.state.close(); break;
                default: break;
            }
            m.timers.advance(s.wait);
            EXPECT_EQ(m.shown(), QString::fromLatin1(s.shown)) << name << " after '" << s.what << "'";
        }
    }
}

TEST(MapHoverState, HoverUnderAPinMovesHoveredButNotTheCard) {
    Machine m;
    m.state.tapped(&m.tokyo);
    m.state.pointerMoved(&m.berlin);
    EXPECT_EQ(m.state.hovered(), &m.berlin);
    EXPECT_EQ(m.state.pinned(), &m.tokyo);
    EXPECT_EQ(m.shown(), "Tokio");

    // Moving over the same city again changes nothing anyone must redraw.
    const int before = m.changes;
    m.state.pointerMoved(&m.berlin);
    m.state.pointerMoved(&m.berlin);
    EXPECT_EQ(m.changes, before);
}

TEST(ClockMarks, ACityCarriesTheLowestNumberOfItsClocks) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    auto clock = [](const char* zone, const char* name = "") {
        ClockEntry c = ClockEntry::makeNew();
        c.timeZoneID = QString::fromLatin1(zone);
        c.name = QString::fromUtf8(name);
        return c;
    };
    s.clocks = {clock("America/Chicago"), clock("Europe/Berlin", "Hamburg"), clock("Asia/Tokyo"),
                clock("Europe/Berlin"), clock("Asia/Tokyo", "Tokio"), clock("Asia/Calcutta")};
    h.writeSettings(s);
    AppModel& model = h.make();
    const QHash<QString, int> marks = clockMarks(model);
    // Chicago is no catalogue city; clocks 3 and 5 both stand for Tokyo; the
    // old name of Kolkata's zone finds the city filed under the new one.
    EXPECT_EQ(marks.size(), 4);
    EXPECT_EQ(marks.value(QStringLiteral("Mumbai|Indien")), 6);
    EXPECT_EQ(marks.value(QStringLiteral("Hamburg|Deutschland")), 2);
    EXPECT_EQ(marks.value(QStringLiteral("Tokio|Japan")), 3);
    EXPECT_EQ(marks.value(QStringLiteral("Berlin|Deutschland")), 4);
}
