// The display page in the settings window, in both palettes, at the
// window's smallest size and whole, and with a row's zone chooser and design
// panel open. The PNGs land in build/screenshots to be looked at.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QTest>

#include "SettingsHarness.h"
#include "settings/display/ClockDesignButton.h"
#include "settings/display/ClockDesignPanel.h"
#include "settings/display/ClocksCard.h"
#include "settings/display/DisplayPage.h"
#include "settings/display/TimeZoneChooser.h"
#include "shell/components/IconButton.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

AppSettings sixClocks(ThemeMode theme) {
    AppSettings s = SettingsHarness::quietSettings();
    s.theme = theme;
    s.clocks.clear();
    const std::pair<const char*, const char*> zones[] = {{"", ""},
                                                         {"America/New_York", "Büro New York"},
                                                         {"Asia/Tokyo", ""},
                                                         {"Asia/Kathmandu", "Trekking 🏔"},
                                                         {"America/St_Johns", ""},
                                                         {"Australia/Sydney", "Familie"}};
    for (const auto& [zone, name] : zones) {
        ClockEntry c = ClockEntry::makeNew();
        c.timeZoneID = QString::fromLatin1(zone);
        c.name = QString::fromUtf8(name);
        s.clocks.push_back(c);
    }
    s.clocks[2].dialStyle = DialStyle::night;
    s.clocks[3].faceColor = QStringLiteral("#1F3A5F");
    s.dialStyle = DialStyle::elegant;
    return s;
}

// The window with a pop-up drawn where it stands on the screen.
void shootWithPopup(SettingsHarness& h, QWidget* popup, const QString& name) {
    ModelHarness::settle();
    QImage image = h.root->grab().toImage();
    QPainter p(&image);
    p.drawPixmap(popup->mapToGlobal(QPoint(0, 0)) - h.root->mapToGlobal(QPoint(0, 0)), popup->grab());
    p.end();
    QDir().mkpath(QStringLiteral(CORVANE_BUILD_DIR "/screenshots"));
    EXPECT_TRUE(image.save(QStringLiteral(CORVANE_BUILD_DIR "/screenshots/") + name + ".png"));
}

}  // namespace

TEST(DisplayScreens, PageAndPopupsInBothPalettes) {
    for (ThemeMode theme : {ThemeMode::light, ThemeMode::dark}) {
        const QString suffix = QString::fromLatin1(theme == ThemeMode::light ? "light" : "dark");
        SettingsHarness h;
        SettingsRoot& root = h.open(sixClocks(theme), SettingsCategory::display);
        auto* page = qobject_cast<DisplaySettings*>(h.page());
        ASSERT_NE(page, nullptr) << "the display category shows another page";
        h.advance(1.0);
        h.shoot(QStringLiteral("settings-display-") + suffix);

        // Nothing of the page is cut at the right at the smallest size.
        QScrollArea* scroll = root.view()->scrollArea();
        EXPECT_LE(page->minimumSizeHint().width(), scroll->viewport()->width());
        ClockRow* row = page->clocksCard()->row(5);
        EXPECT_LE(row->mapTo(page, QPoint(row->removeButton()->geometry().right(), 0)).x(), scroll->viewport()->width());

        root.resize(940, 1400);
        h.shoot(QStringLiteral("settings-display-") + suffix + "-tall");

        TimeZoneButton* zone = page->clocksCard()->row(3)->zoneButton();
        QTest::mouseClick(zone, Qt::LeftButton);
        QTest::keyClicks(zone->popup()->searchField(), QStringLiteral("kat"));
        shootWithPopup(h, zone->popup(), QStringLiteral("settings-display-zones-") + suffix);
        zone->popup()->hide();

        ClockDesignButton* design = page->clocksCard()->row(3)->designButton();
        QTest::mouseClick(design, Qt::LeftButton);
        ASSERT_TRUE(design->isPanelOpen());
        EXPECT_EQ(h.model->highlightedClockID(), design->clockID());
        shootWithPopup(h, design->panel(), QStringLiteral("settings-display-design-") + suffix);
        design->panel()->hide();
    }
}
