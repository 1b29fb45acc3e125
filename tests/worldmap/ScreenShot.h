#pragma once

// A window-sized host for pictures of the map screens: the model started with
// a Tokyo clock in the light or dark palette, saved to build/screenshots/.

#include <QDir>
#include <QImage>
#include <QPalette>
#include <QSize>
#include <QWidget>

#include "appmodel/ModelHarness.h"
#include "shell/ViewFactories.h"
#include "shell/components/Theme.h"
#include "shell/views/RootView.h"
#include "worldmap/WorldMapView.h"

namespace corvane::testing {

// Saves `picture` as build/screenshots/<name>.png.
inline bool saveScreenshot(const QImage& picture, const QString& name) {
    QDir().mkpath(QStringLiteral(CORVANE_BUILD_DIR "/screenshots"));
    return picture.save(QStringLiteral(CORVANE_BUILD_DIR "/screenshots/") + name + ".png");
}

// While it lives, the main window shows the map as the program does; the
// shell's own tests run without one.
struct WorldMapFactory {
    WorldMapFactory() {
        viewFactories().worldMap = [](AppModel& model, QWidget* parent) -> QWidget* {
            return new WorldMapView(model, parent);
        };
    }
    ~WorldMapFactory() { viewFactories().worldMap = nullptr; }
    WorldMapFactory(const WorldMapFactory&) = delete;
    WorldMapFactory& operator=(const WorldMapFactory&) = delete;
};

struct Shot : ModelHarness {
    QWidget host;
    ThemeProvider provider;

    AppModel& start(bool dark, bool showMap) {
        AppSettings s = ModelHarness::quietSettings();
        s.theme = dark ? ThemeMode::dark : ThemeMode::light;
        s.showWorldMap = showMap;
        ClockEntry tokyo = ClockEntry::makeNew();
        tokyo.timeZoneID = QStringLiteral("Asia/Tokyo");
        s.clocks.push_back(tokyo);
        writeSettings(s);
        AppModel& model = make();
        ThemeProvider::attach(&host, &provider);
        provider.setColors(model.theme());
        QPalette pal = host.palette();
        pal.setColor(QPalette::Window, model.theme().background.toQColor());
        host.setPalette(pal);
        host.setAutoFillBackground(true);
        return model;
    }
    // The main window's screen filling a host of `size`, shown and settled;
    // its map, or null when it shows none.
    WorldMapView* showMainWindow(AppModel& model, QSize size) {
        auto* root = new RootView(model, &host);
        host.resize(size);
        root->setGeometry(host.rect());
        host.show();
        ModelHarness::settle();
        return root->findChild<WorldMapView*>();
    }
    bool save(const QString& name) { return saveScreenshot(host.grab().toImage(), name); }
};

}  // namespace corvane::testing
