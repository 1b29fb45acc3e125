// Which catalogue city a clock stands for. The catalogue is loaded once per
// process, so this program points the resource folder at its own small
// catalogue before anything reads it.

#include <gtest/gtest.h>

#include "appmodel/ModelHarness.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

const bool kCatalogueSelected = [] {
    qputenv("CORVANE_RESOURCE_DIR", QByteArray(CORVANE_TEST_DATA "/appmodel/fixtures/catalogue"));
    return true;
}();

ClockEntry clockOf(const char* zone, const char* name) {
    ClockEntry c = ClockEntry::makeNew();
    c.timeZoneID = QString::fromUtf8(zone);
    c.name = QString::fromUtf8(name);
    return c;
}

}  // namespace

TEST(CityForTimeZone, NameZoneAndPopulationRules) {
    ASSERT_TRUE(kCatalogueSelected);
    ModelHarness h;  // the computer's zone is Europe/Berlin
    AppModel& m = h.make();
    ASSERT_EQ(WorldCity::all().size(), 10u);

    struct Case {
        const char* zone;
        const char* name;
        const char* expected;  // nullptr: no city
    } const cases[] = {
        {"Europe/Berlin", "", "Berlin"},               // the zone's own city beats a bigger one
        {"Europe/Berlin", "Hamburg", "Hamburg"},       // the own label picks its city
        {"Europe/Berlin", "Büro", nullptr},            // a named clock is no other city
        {"Asia/Tokyo", "Hamburg", nullptr},            // label and zone must both match
        {"Asia/Ho_Chi_Minh", "", "Ho Chi Minh City"},  // the city's name begins with the zone's
        {"America/Port_of_Spain", "", "Port"},         // the zone's name begins with the city's
        {"Asia/Kolkata", "", "Delhi"},                 // else the most populous, first in the file on a tie
        {"Europe/Paris", "", nullptr},                 // no city in that zone
        {"", "", "Berlin"},                            // local clock: the computer's zone
        {"", "Büro", "Berlin"},                        // a named local clock still finds its zone's city
        {"", "Hamburg", "Hamburg"},
    };
    for (const Case& c : cases) {
        const WorldCity* city = m.cityForTimeZone(clockOf(c.zone, c.name));
        SCOPED_TRACE(std::string(c.zone) + " / " + c.name);
        if (!c.expected) {
            EXPECT_EQ(city, nullptr) << city->name.toStdString();
        } else {
            ASSERT_NE(city, nullptr);
            EXPECT_EQ(city->name, QString::fromUtf8(c.expected));
        }
    }
}

TEST(CityForTimeZone, AddingACityAndFindingItAgain) {
    ModelHarness h;
    AppModel& m = h.make();
    for (const WorldCity& city : WorldCity::all()) {
        if (m.settings().clocks.size() >= std::size_t(AppModel::kMaxClocks)) break;
        m.addClock(city);
        const WorldCity* found = m.cityForTimeZone(m.settings().clocks.back());
        ASSERT_NE(found, nullptr) << city.name.toStdString();
        // The map marks a city as a clock through this lookup; a clock made
        // from a city must be found as that very city.
        EXPECT_EQ(found->id(), city.id());
    }
}
