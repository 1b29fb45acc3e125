// Which catalogue city a clock stands for. The catalogue is loaded once per
// process, so this program points the resource folder at its own small
// catalogue before anything reads it.

#include <gtest/gtest.h>

#include "appmodel/CityLookup.h"
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

struct Case {
    const char* zone;
    const char* name;
    const char* expected;  // nullptr: no city
};

void expectCity(const WorldCity* city, const char* expected) {
    if (!expected) {
        EXPECT_EQ(city, nullptr) << city->name.toStdString();
    } else {
        ASSERT_NE(city, nullptr);
        EXPECT_EQ(city->name, QString::fromUtf8(expected));
    }
}

}  // namespace

TEST(CityForTimeZone, NameZoneAndPopulationRules) {
    ASSERT_TRUE(kCatalogueSelected);
    ModelHarness h;  // the computer's zone is Europe/Berlin
    AppModel& m = h.make();
    ASSERT_EQ(WorldCity::all().size(), 12u);

    const Case cases[] = {
        {"Europe/Berlin", "", "Berlin"},               // the zone's own city beats a bigger one
        {"Europe/Berlin", "Hamburg", "Hamburg"},       // the own label picks its city
        {"Europe/Berlin", "Büro", nullptr},            // a named clock is no other city
        {"Asia/Tokyo", "Hamburg", nullptr},            // label and zone must both match
        {"Asia/Ho_Chi_Minh", "", "Ho Chi Minh City"},  // the city's name begins with the zone's
        {"America/Port_of_Spain", "", "Port"},         // the zone's name begins with the city's
        {"Asia/Kolkata", "", "Kalkutta"},              // the zone's city by its English name
        {"Asia/Calcutta", "", "Kalkutta"},             // and by the name of the zone a link points at
        {"Asia/Dhaka", "", "Chattogram"},              // else the most populous, first in the file on a tie
        {"Europe/Paris", "", nullptr},                 // no city in that zone
        {"", "", "Berlin"},                            // local clock: the computer's zone
        {"", "Büro", "Berlin"},                        // a named local clock still finds its zone's city
        {"", "Hamburg", "Hamburg"},
    };
    for (const Case& c : cases) {
        const WorldCity* city = m.cityForTimeZone(clockOf(c.zone, c.name));
        SCOPED_TRACE(std::string(c.zone) + " / " + c.name);
        expectCity(city, c.expected);
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

// The clock a user adds with "Uhr hinzufügen" on the Kolkata preset, and the
// same system running on the old name of that zone.
TEST(CityForTimeZone, PresetAndLocalClocksOnLinksFindTheirCity) {
    ModelHarness h;
    AppModel& m = h.make();
    while (m.settings().clocks.back().timeZoneID != QStringLiteral("Asia/Kolkata")) {
        ASSERT_LT(m.settings().clocks.size(), 20u) << "the presets no longer hold Asia/Kolkata";
        m.addClockInSettings();
    }
    const ClockEntry kolkata = m.settings().clocks.back();
    ASSERT_TRUE(kolkata.name.isEmpty());
    ASSERT_NE(m.cityForTimeZone(kolkata), nullptr);
    EXPECT_EQ(m.cityForTimeZone(kolkata)->name, "Kalkutta");

    h.zones.setZone(QTimeZone("Asia/Calcutta"));
    ASSERT_EQ(h.zones.current().id(), "Asia/Calcutta");
    const WorldCity* local = m.cityForTimeZone(clockOf("", ""));
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(local->name, "Kalkutta");
    const WorldCity* namedLocal = m.cityForTimeZone(clockOf("", "Mumbai"));
    ASSERT_NE(namedLocal, nullptr);
    EXPECT_EQ(namedLocal->name, "Mumbai");
}

namespace {

const std::vector<WorldCity>& shippedCatalogue() {
    static const std::vector<WorldCity> cities =
        WorldCity::loadAll(QStringLiteral(CORVANE_TEST_DATA "/../resources/cities.tsv"), u"de");
    return cities;
}

}  // namespace

// The shipped catalogue files each city under the zone's current name; the
// clocks of users' systems and the zone chooser still use the old ones.
TEST(CityForTimeZone, OldAndNewZoneNamesFindTheSameCities) {
    const std::vector<const WorldCity*> order = WorldCity::mostPopulousFirst(shippedCatalogue());
    ASSERT_GT(order.size(), 500u);
    const CityLookup lookup(order);

    const Case cases[] = {
        // Link and zone, each way.
        {"Asia/Calcutta", "", "Kalkutta"},          {"Asia/Kolkata", "", "Kalkutta"},
        {"Europe/Kiev", "", "Kiew"},                {"Europe/Kyiv", "", "Kiew"},
        {"Asia/Saigon", "", "Ho-Chi-Minh-Stadt"},   {"Asia/Ho_Chi_Minh", "", "Ho-Chi-Minh-Stadt"},
        {"America/Buenos_Aires", "", "Buenos Aires"}, {"America/Argentina/Buenos_Aires", "", "Buenos Aires"},
        {"Asia/Rangoon", "", "Rangun"},             {"Asia/Yangon", "", "Rangun"},
        {"Asia/Katmandu", "", "Kathmandu"},         {"Asia/Kathmandu", "", "Kathmandu"},
        {"Europe/Nicosia", "", "Nikosia"},          {"Asia/Nicosia", "", "Nikosia"},
        {"America/Indianapolis", "", "Indianapolis"}, {"America/Indiana/Indianapolis", "", "Indianapolis"},
        {"Asia/Istanbul", "", "Istanbul"},          {"Europe/Istanbul", "", "Istanbul"},
        {"Asia/Ulan_Bator", "", "Ulaanbaatar"},     {"Asia/Ulaanbaatar", "", "Ulaanbaatar"},
        // A link named after another city of its zone stands for that city.
        {"Europe/Bratislava", "", "Bratislava"},    {"Europe/Prague", "", "Prag"},
        {"America/Montreal", "", "Montréal"},       {"America/Toronto", "", "Toronto"},
        {"Asia/Chongqing", "", "Chongqing"},        {"Asia/Shanghai", "", "Shanghai"},
        {"Europe/Podgorica", "", "Podgorica"},      {"Europe/Belgrade", "", "Belgrad"},
        // The zone's own city by its English name or without its accent, not
        // the zone's most populous city.
        {"Asia/Damascus", "", "Damaskus"},          {"Europe/Zurich", "", "Zürich"},
        // Named clocks on a link: the label picks the city of the zone.
        {"Asia/Calcutta", "Kalkutta", "Kalkutta"},  {"Asia/Calcutta", "Mumbai", "Mumbai"},
        {"Europe/Bratislava", "Prag", "Prag"},      {"Asia/Calcutta", "Büro", nullptr},
        // No city.
        {"Mars/Olympus", "", nullptr},              {"Etc/GMT+5", "", nullptr},
    };
    for (const Case& c : cases) {
        ClockEntry clock = clockOf(c.zone, c.name);
        const WorldCity* city = lookup.find(clock, QStringLiteral("Europe/Berlin"));
        SCOPED_TRACE(std::string(c.zone) + " / " + c.name);
        expectCity(city, c.expected);
        // Asked again, from the cache, the same answer.
        EXPECT_EQ(lookup.find(clock, QStringLiteral("Europe/Berlin")), city);
    }
}
