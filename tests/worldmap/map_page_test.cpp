// The settings window's world-map page: its legend values and its caption.

#include <gtest/gtest.h>


#include "MapFixture.h"
#include "appmodel/ModelHarness.h"
#include "worldmap/WorldMapSettings.h"

using namespace corvane;
using namespace corvane::testing;

TEST(WorldMapPage, LegendTexts) {
    struct Sun {
        double lat, lon;
        const char* text;
    };
    for (const Sun& s : {Sun{-23.44, 45.0, "23,4° S · 45,0° O"}, Sun{0.0, -180.0, "0,0° N · 180,0° W"},
                         Sun{23.44, -0.04, "23,4° N · 0,0° W"}, Sun{7.25, 179.96, "7,3° N · 180,0° O"}}) {
        EXPECT_EQ(WorldMapSettings::sunCoordinatesText(s.lat, s.lon), QString::fromUtf8(s.text));
    }
    struct Lit {
        double fraction;
        int percent;
    };
    for (const Lit& l : {Lit{0.0, 0}, Lit{0.125, 13}, Lit{0.005, 1}, Lit{0.0049, 0}, Lit{1.0, 100}})
        EXPECT_EQ(WorldMapSettings::litPercent(l.fraction), l.percent) << l.fraction;

    EXPECT_TRUE(WorldMapSettings::captionText(0).startsWith(QStringLiteral("Maus auf eine der 0 Städte bewegen: ")));
    EXPECT_TRUE(WorldMapSettings::captionText(0).endsWith(QStringLiteral("Kartendaten: Natural Earth (gemeinfrei).")));
}

TEST(WorldMapPage, ShowsTheLiveValuesAndTheCatalogueSize) {
    ModelHarness h;
    AppModel& model = h.make();
    WorldMapSettings page(model);
    EXPECT_TRUE(page.caption().startsWith(QStringLiteral("Maus auf eine der 8 Städte")));
    // 10 March 2026 around 06:00 UTC: the sun stands over the Indian Ocean,
    // a little south of the equator.
    EXPECT_TRUE(page.sunDetail().contains(QStringLiteral("° S · ")) && page.sunDetail().endsWith(QStringLiteral("° O")))
        << page.sunDetail().toStdString();
    EXPECT_TRUE(page.moonTitle().startsWith(QStringLiteral("Mond · "))) << page.moonTitle().toStdString();
    EXPECT_TRUE(page.moonDetail().endsWith(QStringLiteral("\u00A0% beleuchtet")));
}
