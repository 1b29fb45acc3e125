// The city card: what it shows for a city and the clock list, and what its
// button and menu do to the clock list.

#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>

#include "MapFixture.h"
#include "appmodel/ModelHarness.h"
#include "worldmap/CityCard.h"
#include "worldmap/SystemColors.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

ClockEntry clockIn(const char* zone, const char* name = "") {
    ClockEntry c = ClockEntry::makeNew();
    c.timeZoneID = QString::fromLatin1(zone);
    c.name = QString::fromUtf8(name);
    return c;
}

const WorldCity& city(const char* name) {
    for (const WorldCity& c : WorldCity::all())
        if (c.name == QString::fromUtf8(name)) return c;
    throw std::runtime_error("no such city in the fixture");
}

struct CardHarness : ModelHarness {
    AppModel& withClocks(std::vector<ClockEntry> clocks) {
        AppSettings s = quietSettings();
        s.clocks = std::move(clocks);
        writeSettings(s);
        return make();
    }
    // 24 clocks; the third shows `third` when given.
    AppModel& full(const char* thirdZone = nullptr) {
        std::vector<ClockEntry> clocks;
        for (int i = 0; i < 24; ++i) clocks.push_back(clockIn("America/Chicago", "Irgendwo"));
        if (thirdZone) clocks[2] = clockIn(thirdZone);
        return withClocks(std::move(clocks));
    }
    std::vector<QString> menuTexts(CityCard& card) {
        QMenu menu;
        card.buildMenu(menu);
        std::vector<QString> texts;
        for (QAction* a : menu.actions()) texts.push_back(a->isSeparator() && a->text().isEmpty() ? QStringLiteral("---") : a->text());
        return texts;
    }
    QAction* menuAction(QMenu& menu, const QString& text) {
        for (QAction* a : menu.actions())
            if (a->text() == text) return a;
        return nullptr;
    }
};

}  // namespace

TEST(DayPhase, BoundariesBelongToTheDarkerPhase) {
    struct Case {
        double altitude;
        const char* word;
        const char* symbol;
        QColor color;
    };
    for (const Case& c : {Case{0.0001, "Tag", "sun.max.fill", systemColors::orange()},
                          Case{0.0, "Dämmerung", "sun.haze.fill", systemColors::pink()},
                          Case{-5.9999, "Dämmerung", "sun.haze.fill", systemColors::pink()},
                          Case{-6.0, "Nacht", "moon.stars.fill", systemColors::indigo()},
                          Case{-90.0, "Nacht", "moon.stars.fill", systemColors::indigo()}}) {
        const DayPhase phase = dayPhase(c.altitude);
        EXPECT_EQ(dayPhaseWord(phase), QString::fromUtf8(c.word)) << c.altitude;
        EXPECT_EQ(dayPhaseSymbol(phase), QString::fromLatin1(c.symbol)) << c.altitude;
        EXPECT_EQ(dayPhaseColor(phase), c.color) << c.altitude;
    }
}

TEST(DayPhase, SunAltitudeIsTheAngleOverTheHorizon) {
    EXPECT_NEAR(sunAltitude(10, 20, 10, 20), 90, 1e-6);    // sun in the zenith
    EXPECT_NEAR(sunAltitude(-10, -160, 10, 20), -90, 1e-6);  // the antipode
    EXPECT_NEAR(sunAltitude(0, 110, 0, 20), 0, 1e-9);       // a quarter round: on the horizon
    EXPECT_NEAR(sunAltitude(0, 116, 0, 20), -6, 1e-9);
    EXPECT_NEAR(sunAltitude(90, 0, 23.44, 45), 23.44, 1e-9);  // at the pole the sun's latitude
}

TEST(CityCard, ShowsNameCountryPopulationTimeAndZone) {
    CardHarness h;
    AppModel& model = h.withClocks({clockIn("Europe/Berlin")});
    // 10 March 2026, 05:59:50 UTC.
    struct Case {
        const char* city;
        const char* country;
        std::optional<QString> population;
        const char* time;
        const char* zonePrefix;
    };
    for (const Case& c : {
             Case{"Berlin", "Hauptstadt · Deutschland", QStringLiteral("3,7 Mio. Einwohner"), "06:59", "UTC+1 · "},
             Case{"Mumbai", "Indien", QStringLiteral("12,4 Mio. Einwohner"), "11:29", "UTC+5:30 · "},
             Case{"Accra", "Hauptstadt · Ghana", QStringLiteral("2,5 Mio. Einwohner"), "05:59", "UTC+0 · "},
             Case{"Suva", "Hauptstadt · Fidschi", QStringLiteral("93.970 Einwohner"), "17:59", "UTC+12 · "},
             Case{"Longyearbyen", "Norwegen", std::nullopt, "06:59", "UTC+1 · "},
         }) {
        CityCard card(model, city(c.city), false, {});
        EXPECT_EQ(card.nameText(), QString::fromUtf8(c.city));
        EXPECT_EQ(card.countryText(), QString::fromUtf8(c.country));
        EXPECT_EQ(card.populationText(), c.population) << c.city;
        EXPECT_EQ(card.timeText(), QString::fromLatin1(c.time)) << c.city;
        EXPECT_TRUE(card.zoneText().startsWith(QString::fromUtf8(c.zonePrefix))) << card.zoneText().toStdString();
        EXPECT_GT(card.zoneText().size(), qsizetype(strlen(c.zonePrefix))) << "a zone name follows";
        EXPECT_FALSE(card.dateText().isEmpty());
    }
    // Berlin's sun rose at a quarter to seven, Accra's is a few minutes
    // away, Los Angeles has ten at night.
    EXPECT_EQ(CityCard(model, city("Berlin"), false, {}).phaseWord(), "Tag");
    EXPECT_EQ(CityCard(model, city("Accra"), false, {}).phaseWord(), "Dämmerung");
    EXPECT_EQ(CityCard(model, city("Accra"), false, {}).phaseSymbol(), "sun.haze.fill");
    EXPECT_EQ(CityCard(model, city("Los Angeles"), false, {}).phaseWord(), "Nacht");
    EXPECT_EQ(CityCard(model, city("Berlin"), false, {}).dateText(), "Di., 10. März");
}

TEST(CityCard, ButtonAndMenuFollowTheClockList) {
    {
        SCOPED_TRACE("no clock shows the city, the list is full");
        CardHarness h;
        h.full();
        CityCard card(*h.model, city("Tokio"), false, {});
        EXPECT_EQ(card.clockButton()->text(), "Hinzufügen");
        EXPECT_EQ(card.clockButton()->symbol(), "plus.circle.fill");
        EXPECT_FALSE(card.clockButton()->isEnabled());
        EXPECT_EQ(card.alreadyText(), std::nullopt);
    }
    {
        SCOPED_TRACE("clock 3 shows the city, the list is full");
        CardHarness h;
        h.full("Asia/Tokyo");
        CityCard card(*h.model, city("Tokio"), false, {});
        EXPECT_EQ(card.clockButton()->text(), "Optionen");
        EXPECT_EQ(card.clockButton()->symbol(), "ellipsis.circle.fill");
        EXPECT_TRUE(card.clockButton()->isEnabled());
        EXPECT_EQ(card.alreadyText(), QStringLiteral("Bereits als Uhr 3 eingerichtet"));

        QMenu menu;
        card.buildMenu(menu);
        const QList<QAction*> actions = menu.actions();
        ASSERT_EQ(actions.size(), 1 + 1 + 24 + 1 + 1);
        EXPECT_EQ(actions[0]->text(), "Als neue Uhr hinzufügen");
        EXPECT_FALSE(actions[0]->isEnabled());
        EXPECT_EQ(actions[1]->text(), "Vorhandene Uhr ersetzen");
        EXPECT_EQ(actions[2]->text(), "Uhr 1: Irgendwo");
        EXPECT_EQ(actions[4]->text(), "Uhr 3: Tokyo");
        EXPECT_EQ(actions[25]->text(), "Uhr 24: Irgendwo");
        EXPECT_TRUE(actions[26]->isSeparator());
        EXPECT_EQ(actions[27]->text(), "Uhr 3 entfernen");

        // Clicking the button itself changes nothing.
        const AppSettings before = h.model->settings();
        QTest::mouseClick(card.clockButton(), Qt::LeftButton, {}, QPoint(12, 10));
        EXPECT_EQ(h.model->settings(), before);

        // The remove entry removes the third clock; the card, still there,
        // then offers to add the city again.
        actions[27]->trigger();
        EXPECT_EQ(h.model->settings().clocks.size(), 23u);
        EXPECT_EQ(card.clockButton()->text(), "Hinzufügen");
        EXPECT_TRUE(card.clockButton()->isEnabled());
    }
    {
        SCOPED_TRACE("the only clock shows the city");
        CardHarness h;
        h.withClocks({clockIn("Europe/Berlin")});
        CityCard card(*h.model, city("Berlin"), false, {});
        QMenu menu;
        card.buildMenu(menu);
        for (QAction* a : menu.actions()) {
            EXPECT_FALSE(a->isSeparator() && a->text().isEmpty()) << "no divider";
            EXPECT_FALSE(a->text().endsWith(" entfernen"));
        }
    }
}

TEST(CityCard, AddAndReplaceLeaveTheCardOpenAndUpdated) {
    CardHarness h;
    AppModel& model = h.withClocks({clockIn("Europe/Berlin"), clockIn("America/Chicago")});
    CityCard card(model, city("Tokio"), false, {});
    card.show();
    ASSERT_EQ(card.clockButton()->text(), "Hinzufügen");
    QTest::mouseClick(card.clockButton(), Qt::LeftButton, {}, QPoint(12, card.clockButton()->height() / 2));
    ASSERT_EQ(model.settings().clocks.size(), 3u);
    EXPECT_EQ(model.settings().clocks[2].timeZoneID, "Asia/Tokyo");
    // The city's name differs from the zone's, so the clock keeps it.
    EXPECT_EQ(model.settings().clocks[2].name, "Tokio");
    EXPECT_TRUE(card.isVisible());
    EXPECT_EQ(card.alreadyText(), QStringLiteral("Bereits als Uhr 3 eingerichtet"));
    EXPECT_EQ(card.clockButton()->text(), "Optionen");

    // Replacing clock 1 with Mumbai keeps its place and id.
    CityCard mumbai(model, city("Mumbai"), false, {});
    const QString firstID = model.settings().clocks[0].id;
    QMenu menu;
    mumbai.buildMenu(menu);
    QAction* replace = h.menuAction(menu, QStringLiteral("Uhr 1: Berlin"));
    ASSERT_NE(replace, nullptr);
    replace->trigger();
    EXPECT_EQ(model.settings().clocks[0].id, firstID);
    EXPECT_EQ(model.settings().clocks[0].timeZoneID, "Asia/Kolkata");
    EXPECT_EQ(mumbai.alreadyText(), QStringLiteral("Bereits als Uhr 1 eingerichtet"));
}

TEST(CityCard, OnlyAPinnedCardHasACloseButton) {
    CardHarness h;
    AppModel& model = h.withClocks({clockIn("Europe/Berlin")});
    EXPECT_EQ(CityCard(model, city("Accra"), false, {}).closeButton(), nullptr);

    int closed = 0;
    CityCard pinned(model, city("Accra"), true, [&closed] { ++closed; });
    ASSERT_NE(pinned.closeButton(), nullptr);
    EXPECT_EQ(pinned.closeButton()->toolTip(), "Schließen");
    pinned.show();
    QTest::mouseClick(pinned.closeButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(closed, 1);
}

TEST(CityCard, FollowsTheTickAndKeepsItsMinimumWidth) {
    CardHarness h;
    AppModel& model = h.withClocks({clockIn("Europe/Berlin")});
    CityCard card(model, city("Accra"), false, {});
    EXPECT_EQ(card.timeText(), "05:59");
    h.advance(11);
    EXPECT_EQ(card.timeText(), "06:00");
    EXPECT_GE(card.panelSize().width(), 230);
}

// The entry that removes a clock reads in red; the others in the menu's ink.
TEST(CityCard, TheRemoveEntryIsRed) {
    CardHarness h;
    AppModel& m = h.withClocks({clockIn("Asia/Tokyo"), clockIn("Europe/Berlin")});
    CityCard card(m, city("Tokio"), false, {});
    QMenu* menu = card.clockButton()->menu();
    ASSERT_NE(menu, nullptr);
    menu->popup(QPoint(0, 0));
    h.settle();
    QAction* remove = h.menuAction(*menu, QStringLiteral("Uhr 1 entfernen"));
    QAction* replace = h.menuAction(*menu, QStringLiteral("Uhr 2: Berlin"));
    ASSERT_NE(remove, nullptr);
    ASSERT_NE(replace, nullptr);
    const QImage shot = menu->grab().toImage();
    // Red text pixels right of the icon column.
    auto redPixels = [&](const QRect& row) {
        int n = 0;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = row.left() + 36; x <= row.right(); ++x) {
                const QColor c = shot.pixelColor(x * shot.width() / menu->width(), y * shot.height() / menu->height());
                if (c.red() > 180 && c.green() < 120 && c.blue() < 120) ++n;
            }
        return n;
    };
    EXPECT_GT(redPixels(menu->actionGeometry(remove)), 10);
    EXPECT_EQ(redPixels(menu->actionGeometry(replace)), 0);
    menu->hide();
}
