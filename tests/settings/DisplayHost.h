#pragma once

// A model on fake time with a themed window around a piece of the display
// page, as the settings window hosts it.

#include <QDir>
#include <QWidget>

#include "appmodel/ModelHarness.h"
#include "shell/components/Theme.h"

namespace corvane::testing {

inline ClockEntry clockIn(const char* zone, const char* name = "") {
    ClockEntry c = ClockEntry::makeNew();
    c.timeZoneID = QString::fromLatin1(zone);
    c.name = QString::fromUtf8(name);
    return c;
}

// Settings with the given clocks (at least one).
inline AppSettings withClocks(std::vector<ClockEntry> clocks) {
    AppSettings s = ModelHarness::quietSettings();
    s.clocks = std::move(clocks);
    return s;
}

struct DisplayHost : ModelHarness {
    QWidget host;
    ThemeProvider provider;

    AppModel& start(const AppSettings& settings) {
        writeSettings(settings);
        AppModel& m = make();
        ThemeProvider::attach(&host, &provider);
        provider.setColors(m.theme());
        QObject::connect(&m, &AppModel::themeChanged, &provider, [this, &m] { provider.setColors(m.theme()); });
        return m;
    }

    template <typename View>
    View* show(View* view, QSize size = {900, 700}) {
        view->setParent(&host);
        host.resize(size);
        view->setGeometry(QRect(QPoint(0, 0), QSize(size.width(), std::max(size.height(), view->sizeHint().height()))));
        host.show();
        settle();
        return view;
    }

    QString shoot(QWidget* what, const char* name) {
        QDir().mkpath(QStringLiteral(CORVANE_BUILD_DIR "/screenshots"));
        const QString path = QStringLiteral(CORVANE_BUILD_DIR "/screenshots/") + QLatin1String(name) + ".png";
        what->grab().save(path);
        return path;
    }
};

}  // namespace corvane::testing
