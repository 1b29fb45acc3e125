// Pictures to look at of the main window's map screen when none of the map's
// data files can be found (a broken installation): the sea, the sun and the
// night, and the line that says what is missing, light and dark.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "appmodel/ModelHarness.h"
#include "shell/ViewFactories.h"
#include "shell/components/Theme.h"
#include "shell/views/RootView.h"
#include "worldmap/MapDataHint.h"
#include "worldmap/WorldMapView.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

// The data files are read once per process, so the empty folder is set
// before any test runs.
QTemporaryDir& emptyResources() {
    static QTemporaryDir dir;
    return dir;
}
const bool kEmptyResources = [] {
    qputenv("CORVANE_RESOURCE_DIR", QFile::encodeName(emptyResources().path()));
    return true;
}();

}  // namespace

TEST(WorldMapScreens, BlankMapSaysWhy) {
    viewFactories().worldMap = [](AppModel& model, QWidget* parent) -> QWidget* {
        return new WorldMapView(model, parent);
    };
    for (const bool dark : {false, true}) {
        ModelHarness harness;
        AppSettings s = ModelHarness::quietSettings();
        s.theme = dark ? ThemeMode::dark : ThemeMode::light;
        s.showWorldMap = true;
        harness.writeSettings(s);
        AppModel& model = harness.make();
        QWidget host;
        ThemeProvider provider;
        ThemeProvider::attach(&host, &provider);
        provider.setColors(model.theme());
        QPalette pal = host.palette();
        pal.setColor(QPalette::Window, model.theme().background.toQColor());
        host.setPalette(pal);
        host.setAutoFillBackground(true);
        auto* root = new RootView(model, &host);
        host.resize(900, 520);
        root->setGeometry(host.rect());
        host.show();
        ModelHarness::settle();
        auto* map = root->findChild<WorldMapView*>();
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map->accessibleDescription(),
                  "Kartendaten unvollständig: land.bin fehlt, borders.bin fehlt, cities.tsv fehlt");
        QDir().mkpath(QStringLiteral(CORVANE_BUILD_DIR "/screenshots"));
        EXPECT_TRUE(host.grab().save(QStringLiteral(CORVANE_BUILD_DIR "/screenshots/world_map_blank%1.png")
                                         .arg(dark ? "_dark" : "")));
    }
    viewFactories().worldMap = nullptr;
}
