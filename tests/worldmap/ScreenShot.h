#pragma once

// A window-sized host for pictures of the map screens: the model started with
// a Tokyo clock in the light or dark palette, saved to build/screenshots/.

#include <QDir>
#include <QPalette>
#include <QWidget>

#include "appmodel/ModelHarness.h"
#include "shell/components/Theme.h"

namespace corvane::testing {

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
    bool save(const QString& name) {
        QDir().mkpath(QStringLiteral(CORVANE_BUILD_DIR "/screenshots"));
        return host.grab().save(QStringLiteral(CORVANE_BUILD_DIR "/screenshots/") + name + ".png");
    }
};

}  // namespace corvane::testing
