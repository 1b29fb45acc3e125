// Pictures to look at of the main window's map screen when none of the map's
// data files can be found (a broken installation): the sea, the sun and the
// night, and the line that says what is missing, light and dark.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "ScreenShot.h"

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
    const WorldMapFactory factory;
    for (const bool dark : {false, true}) {
        Shot shot;
        WorldMapView* map = shot.showMainWindow(shot.start(dark, true), {900, 520});
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map->accessibleDescription(),
                  "Kartendaten unvollständig: land.bin fehlt, borders.bin fehlt, cities.tsv fehlt");
        EXPECT_TRUE(shot.save(dark ? "world_map_blank_dark" : "world_map_blank"));
    }
}
