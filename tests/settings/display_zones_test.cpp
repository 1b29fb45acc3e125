// The time-zone chooser of a clock row: search, checkmark, offsets, picking.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListView>
#include <QTest>

#include "DisplayHost.h"
#include "TestWait.h"
#include "settings/display/TimeZoneChooser.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

std::vector<QString> ids(const ZoneListModel& list) {
    std::vector<QString> out;
    for (int i = 0; i < list.rowCount(); ++i) out.push_back(list.idAt(i));
    return out;
}

bool contains(const std::vector<QString>& v, const char* id) {
    return std::find(v.begin(), v.end(), QString::fromLatin1(id)) != v.end();
}

}  // namespace

TEST(ZoneChooser, SearchFindsByIdentifierCityAndNameIgnoringCaseAndBlanks) {
    DisplayHost h;
    AppModel& m = h.start(ModelHarness::quietSettings());
    ZoneListModel list(m, AppModel::timeZoneList());
    const int all = int(AppModel::timeZoneList().size());

    struct Case {
        const char* search;
        const char* mustFind;  // nullptr: nothing
        bool localFirst;
    } cases[] = {
        {"NEW YORK", "America/New_York", false},
        {"new_york", "America/New_York", false},
        {"america/new", "America/New_York", false},
        {" \tberlin  ", "Europe/Berlin", false},
        {"lokal", "", true},
        {"Ortszeit", "", true},
        {"kathmandu", "Asia/Kathmandu", false},
        {"xqzzy", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.search);
        list.setSearch(QString::fromUtf8(c.search));
        const std::vector<QString> found = ids(list);
        if (!c.mustFind) {
            EXPECT_TRUE(found.empty());
            continue;
        }
        EXPECT_TRUE(contains(found, c.mustFind));
        EXPECT_EQ(!found.empty() && found.front().isEmpty(), c.localFirst);
        EXPECT_LT(int(found.size()), all / 4) << "the filter let nearly everything through";
    }

    // Empty or blank: the local entry, then every zone in list order.
    for (const char* blank : {"", "   ", "\t"}) {
        list.setSearch(QString::fromLatin1(blank));
        ASSERT_EQ(list.rowCount(), all + 1) << blank;
        EXPECT_EQ(list.idAt(0), QString());
        EXPECT_EQ(list.data(list.index(0), ZoneListModel::TitleRole).toString(), QStringLiteral("Ortszeit (System)"));
        EXPECT_EQ(list.data(list.index(0), ZoneListModel::SubtitleRole).toString(), QStringLiteral("Europe/Berlin"));
        EXPECT_EQ(list.idAt(1), AppModel::timeZoneList().front().id);
    }
}

TEST(ZoneChooser, ListsOnlyRegionZonesSortedByCity) {
    const auto& zones = AppModel::timeZoneList();
    ASSERT_GT(zones.size(), 300u);
    for (const TimeZoneInfo& z : zones) {
        EXPECT_TRUE(z.id.contains(u'/')) << z.id.toStdString();
        EXPECT_FALSE(z.id.startsWith(QLatin1String("Etc/"))) << z.id.toStdString();
        EXPECT_FALSE(z.id.startsWith(QLatin1String("SystemV/"))) << z.id.toStdString();
    }
    const auto buenos = std::find_if(zones.begin(), zones.end(),
                                     [](const TimeZoneInfo& z) { return z.id == "America/Argentina/Buenos_Aires"; });
    ASSERT_NE(buenos, zones.end());
    EXPECT_EQ(buenos->city, QStringLiteral("Buenos Aires"));
    EXPECT_EQ(buenos->region, QStringLiteral("America"));
}

TEST(ZoneChooser, OffsetsReadWithMinutesOnlyWhereTheZoneHasThem) {
    DisplayHost h;
    // A January day: London and St. John's are on winter time.
    h.clock.setWall(utcMs(2026, 1, 15, 12, 0, 0));
    AppModel& m = h.start(ModelHarness::quietSettings());
    ZoneListModel list(m, AppModel::timeZoneList());
    struct Case {
        const char* search;
        const char* id;
        const char* offset;
    } cases[] = {
        {"kolkata", "Asia/Kolkata", "UTC+5:30"},
        {"kathmandu", "Asia/Kathmandu", "UTC+5:45"},
        {"st johns", "America/St_Johns", "UTC\u22123:30"},
        {"london", "Europe/London", "UTC+0"},
        {"los angeles", "America/Los_Angeles", "UTC\u22128"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        list.setSearch(QString::fromLatin1(c.search));
        int row = -1;
        for (int i = 0; i < list.rowCount(); ++i)
            if (list.idAt(i) == QLatin1String(c.id)) row = i;
        ASSERT_GE(row, 0);
        EXPECT_EQ(list.offsetAt(row), QString::fromUtf8(c.offset));
    }
}

TEST(ZoneChooser, ButtonNamesThePlaceAndTheCheckmarkFollowsTheClock) {
    DisplayHost h;
    AppModel& m = h.start(withClocks({clockIn(""), clockIn("UTC"), clockIn("America/Argentina/Buenos_Aires")}));
    struct Case {
        const char* zone;
        const char* place;
        const char* symbol;
    } cases[] = {
        {"", "Ortszeit (System)", "location.fill"},
        {"UTC", "UTC", "globe"},
        {"America/Argentina/Buenos_Aires", "Buenos Aires", "globe"},
        {"Nowhere/Atlantis", "Atlantis", "globe"},
    };
    for (const Case& c : cases) EXPECT_EQ(TimeZoneButton::placeName(QString::fromLatin1(c.zone)), QString::fromUtf8(c.place));

    // Checkmark: the clock's exact identifier; a clock on "UTC" has none in
    // the list, a local clock has it on the local entry.
    for (const ClockEntry& clock : m.settings().clocks) {
        TimeZoneButton button(m, clock.id);
        button.setTimeZoneID(clock.timeZoneID);
        ZoneListModel& list = button.popup()->list();
        list.setSearch(QString());
        int checked = 0;
        for (int i = 0; i < list.rowCount(); ++i)
            if (list.idAt(i) == list.currentID()) ++checked;
        EXPECT_EQ(checked, clock.timeZoneID == QLatin1String("UTC") ? 0 : 1) << clock.timeZoneID.toStdString();
    }
    // A zone that names nothing shows its name but the current zone's offset.
    TimeZoneButton lost(m, m.settings().clocks[0].id);
    lost.setTimeZoneID(QStringLiteral("Nowhere/Atlantis"));
    EXPECT_EQ(lost.offsetText(), QStringLiteral("UTC+1"));
}

TEST(ZoneChooser, PickingStoresTheZoneClosesAndKeepsTheSearchUntilTheNextOpen) {
    DisplayHost h;
    AppModel& m = h.start(withClocks({clockIn("Europe/Berlin", "Büro"), clockIn("Asia/Tokyo")}));
    const QString id = m.settings().clocks[0].id;
    auto* button = h.show(new TimeZoneButton(m, id), QSize(400, 200));
    button->setTimeZoneID(m.settings().clocks[0].timeZoneID);

    QTest::mouseClick(button, Qt::LeftButton);
    ZoneChooserPopup* popup = button->popup();
    ASSERT_TRUE(popup->isVisible());
    QTest::keyClicks(popup->searchField(), QStringLiteral("kathmandu"));
    ASSERT_EQ(popup->list().rowCount(), 1);
    QListView* view = popup->listView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(popup->list().index(0)).center());
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(m.settings().clocks[0].timeZoneID, QStringLiteral("Asia/Kathmandu"));
    EXPECT_EQ(m.settings().clocks[0].name, QStringLiteral("Büro")) << "the label is left alone";
    EXPECT_EQ(popup->searchField()->text(), QStringLiteral("kathmandu"));

    // The next press opens with an empty search and the whole list.
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_TRUE(popup->searchField()->text().isEmpty());
    EXPECT_EQ(popup->list().rowCount(), int(AppModel::timeZoneList().size()) + 1);

    // The clock vanished meanwhile: nothing is stored, the chooser closes.
    m.removeClock(id);
    const AppSettings before = m.settings();
    button->pickZone(QStringLiteral("Europe/Paris"));
    EXPECT_EQ(m.settings(), before);
    EXPECT_FALSE(popup->isVisible());
}

TEST(PopupPlacement, BelowTheButtonAndAlwaysOnTheScreen) {
    const QRect screen(0, 0, 1280, 800);
    const QSize size(320, 380);
    struct Case {
        const char* what;
        QRect anchor;
        QPoint expected;
    } cases[] = {
        {"centred below", QRect(500, 100, 210, 30), QPoint(445, 134)},
        {"no room below: above", QRect(500, 600, 210, 30), QPoint(445, 216)},
        {"at the left edge", QRect(0, 100, 30, 30), QPoint(0, 134)},
        {"at the right edge", QRect(1260, 100, 20, 30), QPoint(960, 134)},
    };
    for (const Case& c : cases) EXPECT_EQ(PopupPanel::placement(c.anchor, size, screen), c.expected) << c.what;
    // Taller than the screen: kept at its top.
    EXPECT_EQ(PopupPanel::placement(QRect(500, 100, 210, 30), QSize(320, 900), screen).y(), 0);
}

TEST(ZoneChooser, ReturnInTheListPicksOnlyARowShownAsChosen) {
    struct Case {
        const char* what;
        const char* search;
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;  // after Tab into the list
        const char* shownAfterTab;  // nullptr: no row can be
        const char* stored;         // nullptr: nothing is, the chooser stays open
    };
    const Case cases[] = {
        {"the clock's own zone", "", {}, "America/New_York", "America/New_York"},
        {"the first match when the search hides the own zone", "berlin", {}, "Europe/Berlin", "Europe/Berlin"},
        {"moved on with the arrow key", "europe/b", {{Qt::Key_Down, Qt::NoModifier}}, "Europe/Belgrade", "Europe/Berlin"},
        {"nothing found", "xqzzy", {}, nullptr, nullptr},
        {"the mark taken off the row", "", {{Qt::Key_Space, Qt::ControlModifier}}, "America/New_York", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DisplayHost h;
        AppModel& m = h.start(withClocks({clockIn("America/New_York")}));
        auto* button = h.show(new TimeZoneButton(m, m.settings().clocks[0].id), QSize(400, 200));
        button->setTimeZoneID(m.settings().clocks[0].timeZoneID);
        QTest::mouseClick(button, Qt::LeftButton);
        ZoneChooserPopup* popup = button->popup();
        ASSERT_TRUE(popup->isVisible());
        QListView* view = popup->listView();
        QTest::keyClicks(popup->searchField(), QString::fromLatin1(c.search));

        QTest::keyClick(popup->searchField(), Qt::Key_Tab);
        h.settle();
        ASSERT_TRUE(view->hasFocus());
        const QModelIndex current = view->currentIndex();
        if (c.shownAfterTab) {
            ASSERT_TRUE(current.isValid());
            EXPECT_EQ(popup->list().idAt(current.row()).toStdString(), c.shownAfterTab);
            EXPECT_TRUE(view->selectionModel()->isSelected(current));
            // Marked on screen, in sight, in the palette's hover colour
            // (between the name and the offset).
            const QRect row = view->visualRect(current);
            EXPECT_GE(row.top(), 0);
            EXPECT_LE(row.bottom(), view->viewport()->height());
            const QImage shot = popup->grab().toImage();
            if (&c == &cases[0]) h.shoot(popup, "zone_chooser_tab_into_list");
            const QPoint inRow = view->viewport()->mapTo(popup, row.center());
            EXPECT_EQ(shot.pixelColor(inRow * shot.devicePixelRatio()).name().toStdString(),
                      themeOf(popup).controlHover.toQColor().name().toStdString());
        } else {
            EXPECT_FALSE(current.isValid() && view->selectionModel()->isSelected(current));
        }

        for (const auto& [key, modifiers] : c.keys) QTest::keyClick(view, key, modifiers);
        QTest::keyClick(view, Qt::Key_Return);
        EXPECT_EQ(m.settings().clocks[0].timeZoneID.toStdString(), c.stored ? c.stored : "America/New_York");
        EXPECT_EQ(popup->isVisible(), c.stored == nullptr);
        popup->hide();
    }
}
