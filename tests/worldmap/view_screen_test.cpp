// Pictures to look at, with the shipped catalogue and map shapes: the main
// window's map screen with a pinned card (normal and smallest window) and
// the settings page, each in the light and the dark palette.

#include <gtest/gtest.h>

#include <QMenu>
#include <QPainter>
#include <QTest>
#include <QToolButton>

#include "ScreenShot.h"
#include "appmodel/ModelHarness.h"
#include "shell/components/AppPalette.h"
#include "shell/components/Theme.h"
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
    const WorldMapFactory factory;
    struct Case {
        QSize size;
        const char* name;
    };
    for (const bool dark : {false, true}) {
        for (const Case& c : {Case{{900, 520}, "world_map_screen"}, Case{{360, 300}, "world_map_screen_smallest"}}) {
            Shot shot;
            WorldMapView* map = shot.showMainWindow(shot.start(dark, true), c.size);
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
            // From a little way off: QTest drops a move to where it thinks the pointer already is.
            QTest::mouseMove(page->map(), page->map()->cityPoint(*sydney).toPoint() + QPoint(40, 40));
            QTest::mouseMove(page->map(), page->map()->cityPoint(*sydney).toPoint());
            ModelHarness::settle();
            // The card eases in; the picture shows it standing.
            EXPECT_TRUE(QTest::qWaitFor([&] { return !page->map()->isAnimating(); }, 2000));
        }
        EXPECT_TRUE(shot.save(QStringLiteral("settings_world_map") + (dark ? "_dark" : "")));
    }
}

// The card of a city that already is a clock, with its menu open: the remove
// entry in red at the end.
TEST(WorldMapScreens, CardMenuInTheDarkPalette) {
    if (!city("Berlin")) GTEST_SKIP() << "no shipped catalogue";
    Shot shot;
    AppModel& model = shot.start(true, false);
    // The menu is Qt's own: it takes the theme from the program's palette, as
    // the running program sets it.
    applyAppPalette(model.theme());
    auto* map = new WorldMapView(model, &shot.host);
    shot.host.resize(900, 420);
    map->setGeometry(shot.host.rect());
    shot.host.show();
    ModelHarness::settle();
    // The local-time clock's city (the harness runs on Europe/Berlin).
    QTest::mouseClick(map, Qt::LeftButton, {}, map->cityPoint(*city("Berlin")).toPoint());
    ModelHarness::settle();
    ASSERT_TRUE(map->card());
    ASSERT_TRUE(map->card()->alreadyText());
    QToolButton* button = map->card()->clockButton();
    QMenu* menu = button->menu();
    menu->popup(button->mapToGlobal(QPoint(0, button->height())));
    ModelHarness::settle();
    ASSERT_TRUE(menu->isVisible());
    QImage picture = shot.host.grab().toImage();
    {
        QPainter p(&picture);
        p.drawPixmap(menu->pos() - shot.host.mapToGlobal(QPoint(0, 0)), menu->grab());
    }
    menu->hide();
    EXPECT_TRUE(saveScreenshot(picture, QStringLiteral("world_map_card_menu_dark")));
}
