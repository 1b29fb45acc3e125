// Every page of this window in the light and the dark palette at the
// window's smallest size, saved to build/screenshots to look at, with the
// checks that hold for all of them.

#include <gtest/gtest.h>

#include <QScrollArea>
#include <QScrollBar>

#include "SettingsHarness.h"
#include "settings/SettingsRoot.h"

using namespace corvane;
using namespace corvane::testing;

TEST(SettingsScreens, EveryPageInBothPalettes) {
    const std::pair<SettingsCategory, const char*> pages[] = {
        {SettingsCategory::general, "general"},     {SettingsCategory::design, "design"},
        {SettingsCategory::countdown, "countdown"}, {SettingsCategory::stopwatch, "stopwatch"},
        {SettingsCategory::about, "about"}};
    for (ThemeMode theme : {ThemeMode::light, ThemeMode::dark}) {
        for (const auto& [category, name] : pages) {
            SettingsHarness h;
            AppSettings s = SettingsHarness::quietSettings();
            s.theme = theme;
            s.countdowns[0].durationSeconds = 25 * 60;
            SettingsRoot& root = h.open(s, category);
            if (category == SettingsCategory::stopwatch) h.model->stopwatchServices()[0].start();
            h.advance(1.37);
            const QString suffix = QString::fromLatin1(theme == ThemeMode::light ? "light" : "dark");
            const QString base = QStringLiteral("settings-") + QLatin1String(name) + "-" + suffix;
            EXPECT_FALSE(h.shoot(base).isEmpty());

            // No page is wider than the pane: nothing is cut at the right.
            QScrollArea* scroll = root.view()->scrollArea();
            EXPECT_LE(h.page()->width(), scroll->viewport()->width()) << name;
            EXPECT_LE(h.page()->minimumSizeHint().width(), scroll->viewport()->width()) << name;

            // The whole page, for looking at what lies below the fold.
            root.resize(820, 1200);
            h.shoot(base + "-tall");
        }
    }
}
