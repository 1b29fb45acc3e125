// Pictures to look at, with the shipped catalogue and map shapes: the main
// window's map screen with a pinned card (normal and smallest window) and
// the settings page, each in the light and the dark palette.

#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include "ScreenShot.h"
#include "appmodel/ModelHarness.h"
#include "shell/ViewFactories.h"
#include "shell/components/Theme.h"
#include "shell/views/RootView.h"
#include "worldmap/CityCard.h"
#include "worldmap/WorldMapSettings.h"
#include "worldmap/WorldMapView.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

// The most populous city of that name.
const WorldCity* city(const char* name) {
    const WorldCity* found = nullptr;
    for (const WorldCity& c : WorldCity::all())
        if (c.name == QString::fromUtf8(name)) found = &c;
    return found;
}

}  // namespace

TEST(WorldMapScreens, MainWindowMapWithAPinnedCard) {
    if (WorldCity::all().empty()) GTEST_SKIP() << "no shipped catalogue";
    viewFactories().worldMap = [](AppModel& model, QWidget* parent) -> QWidget* {
        return new WorldMapView(model, parent);
    };
    struct Case {
        QSize size;
        const char* name;
    };
    for (const bool dark : {false, true}) {
        for (const Case& c : {Case{{900, 520}, "world_map_screen"}, Case{{360, 300}, "world_map_screen_smallest"}}) {
            Shot shot;
            AppModel& model = shot.start(dark, true);
            auto* root = new RootView(model, &shot.host);
            shot.host.resize(c.size);
            root->setGeometry(shot.host.rect());
            shot.host.show();
            ModelHarness::settle();
            auto* map = root->findChild<WorldMapView*>();
            ASSERT_NE(map, nullptr);
            ASSERT_NE(city("Mumbai"), nullptr);
            QTest::mouseClick(map, Qt::LeftButton, {}, map->cityPoint(*city("Mumbai")).toPoint());
            ModelHarness::settle();
            ASSERT_TRUE(map->card());
            // The card stays inside the map's widget, whatever the window.
            EXPECT_TRUE(map->rect().contains(map->card()->geometry().adjusted(
                CityCard::kShadowMargin, CityCard::kShadowMargin, -CityCard::kShadowMargin, -CityCard::kShadowMargin)));
            EXPECT_TRUE(shot.save(QString::fromLatin1(c.name) + (dark ? "_dark" : "")));
        }
    }
    viewFactories().worldMap = nullptr;
}

TEST(WorldMapScreens, SettingsPage) {
    for (const bool dark : {false, true}) {
        Shot shot;
        AppModel& model = shot.start(dark, false);
        auto* page = new WorldMapSettings(model, &shot.host);
        shot.host.resize(600, 560);
        page->setGeometry(shot.host.rect().adjusted(20, 20, -20, -20));
        shot.host.show();
        ModelHarness::settle();
        EXPECT_GT(page->map()->height(), 200);
        if (const WorldCity* sydney = city("Sydney")) {
            QTest::mouseMove(page->map(), page->map()->cityPoint(*sydney).toPoint());
            ModelHarness::settle();
        }
        EXPECT_TRUE(shot.save(QStringLiteral("settings_world_map") + (dark ? "_dark" : "")));
    }
}
