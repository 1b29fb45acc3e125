// The clocks card: adding, moving, removing, labels, and rows that stay the
// same widgets whatever the model does.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "DisplayHost.h"
#include "settings/display/ClockDesignButton.h"
#include "settings/display/ClocksCard.h"
#include "settings/display/DialPreview.h"
#include "settings/display/TimeZoneChooser.h"
#include "shell/components/IconButton.h"
#include "shell/components/TextLines.h"
#include "shell/components/ThemedButton.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

std::vector<ClockEntry> clocksIn(int n, const char* zone = "Europe/Paris") {
    std::vector<ClockEntry> out;
    for (int i = 0; i < n; ++i) out.push_back(clockIn(zone));
    return out;
}

std::vector<QString> zonesOf(const AppModel& m) {
    std::vector<QString> out;
    for (const ClockEntry& c : m.settings().clocks) out.push_back(c.timeZoneID);
    return out;
}

}  // namespace

TEST(ClocksCard, AddStopsAtTwentyFourAndTakesThePresetsInOrderThenUTC) {
    {
        DisplayHost h;
        AppModel& m = h.start(withClocks(clocksIn(23)));
        auto* card = h.show(new ClocksCard(m));
        ASSERT_TRUE(card->addButton()->isEnabled());
        QTest::mouseClick(card->addButton(), Qt::LeftButton);
        EXPECT_EQ(m.settings().clocks.size(), 24u);
        EXPECT_EQ(card->rowCount(), 24);
        EXPECT_FALSE(card->addButton()->isEnabled());
        m.addClockInSettings();
        EXPECT_EQ(m.settings().clocks.size(), 24u) << "the model refuses a 25th as well";
    }
    {
        DisplayHost h;
        AppModel& m = h.start(withClocks({clockIn("Asia/Tokyo")}));
        auto* card = h.show(new ClocksCard(m));
        for (int i = 0; i < 15; ++i) QTest::mouseClick(card->addButton(), Qt::LeftButton);
        const std::vector<QString> zones = zonesOf(m);
        ASSERT_EQ(zones.size(), 16u);
        // Tokyo is taken, so it is skipped; after all fourteen comes UTC, twice.
        const char* expected[] = {"Asia/Tokyo", "America/New_York", "Europe/London", "Australia/Sydney",
                                  "America/Los_Angeles", "Asia/Shanghai", "Asia/Dubai", "Asia/Kolkata",
                                  "America/Sao_Paulo", "Asia/Singapore", "Africa/Johannesburg", "Pacific/Auckland",
                                  "America/Chicago", "Europe/Moscow", "UTC", "UTC"};
        for (int i = 0; i < 16; ++i) EXPECT_EQ(zones[std::size_t(i)], QLatin1String(expected[i])) << i;
        EXPECT_EQ(TimeZoneButton::placeName(card->row(15)->zoneButton()->timeZoneID()), QStringLiteral("UTC"));
    }
}

TEST(ClocksCard, ControlsThatWouldLeaveTheListAreDisabledAndFaded) {
    DisplayHost h;
    AppModel& m = h.start(withClocks(clocksIn(3)));
    auto* card = h.show(new ClocksCard(m));
    struct Expect {
        bool up, down, remove;
    } rows[] = {{false, true, true}, {true, true, true}, {true, false, true}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ClockRow* row = card->row(i);
        EXPECT_EQ(row->number()->text(), QStringLiteral("%1.").arg(i + 1));
        EXPECT_EQ(row->upButton()->isEnabled(), rows[i].up);
        EXPECT_EQ(row->downButton()->isEnabled(), rows[i].down);
        EXPECT_EQ(row->removeButton()->isEnabled(), rows[i].remove);
        for (IconButton* b : {row->upButton(), row->downButton(), row->removeButton()})
            EXPECT_DOUBLE_EQ(b->look().opacity, b->isEnabled() ? 1.0 : 0.3);
    }
    m.removeClock(m.settings().clocks[2].id);
    m.removeClock(m.settings().clocks[1].id);
    ASSERT_EQ(card->rowCount(), 1);
    EXPECT_FALSE(card->row(0)->removeButton()->isEnabled());
    EXPECT_DOUBLE_EQ(card->row(0)->removeButton()->look().opacity, 0.3);
    m.removeClock(m.settings().clocks[0].id);
    EXPECT_EQ(m.settings().clocks.size(), 1u);
}

TEST(ClocksCard, MovingKeepsEachRowWithItsClockAndWhatIsTypedInIt) {
    DisplayHost h;
    AppModel& m = h.start(withClocks({clockIn("Asia/Tokyo", "Eins"), clockIn("Europe/London", "Zwei")}));
    auto* card = h.show(new ClocksCard(m));
    ClockRow* second = card->row(1);
    const QString secondID = second->clockID();

    // Typing in the second row, then it moves forward under the cursor.
    QLineEdit* field = second->labelField();
    field->setFocus();
    field->setCursorPosition(2);
    QTest::mouseClick(second->upButton(), Qt::LeftButton);
    EXPECT_EQ(m.settings().clocks[0].id, secondID);
    EXPECT_EQ(card->row(0), second) << "the row was rebuilt instead of moved";
    EXPECT_EQ(card->row(0)->number()->text(), QStringLiteral("1."));
    EXPECT_EQ(card->row(1)->number()->text(), QStringLiteral("2."));
    EXPECT_FALSE(second->upButton()->isEnabled());

    field->setFocus();
    field->setCursorPosition(2);
    QTest::keyClicks(field, QStringLiteral("x"));
    EXPECT_EQ(m.settings().clocks[0].name, QStringLiteral("Zwxei"));
    // Any other change of the settings leaves the field and its cursor alone.
    m.moveClock(m.settings().clocks[1].id, -1);
    EXPECT_EQ(card->row(1), second);
    EXPECT_EQ(field->text(), QStringLiteral("Zwxei"));
    EXPECT_EQ(field->cursorPosition(), 3);
    EXPECT_TRUE(field->hasFocus());

    // Removed elsewhere while the field had focus: the edit is dropped.
    second->setLabel(QStringLiteral("weg"));
    m.removeClock(secondID);
    const AppSettings before = m.settings();
    second->setLabel(QStringLiteral("noch da?"));
    EXPECT_EQ(m.settings(), before);
}

TEST(ClocksCard, LabelsStopAtThirtyCharactersCountingEmojiAsOne) {
    DisplayHost h;
    AppModel& m = h.start(withClocks({clockIn("Asia/Tokyo")}));
    auto* card = h.show(new ClocksCard(m));
    ClockRow* row = card->row(0);
    const QString family = QStringLiteral("👩‍👩‍👧‍👦");  // one character, eleven UTF-16 units
    const QString flag = QStringLiteral("🇩🇪");
    struct Case {
        QString typed;
        QString stored;
    } cases[] = {
        {QString(30, u'a'), QString(30, u'a')},
        {QString(31, u'a'), QString(30, u'a')},
        {family.repeated(31), family.repeated(30)},
        {flag.repeated(29) + QStringLiteral("xy"), flag.repeated(29) + QStringLiteral("x")},
        {QStringLiteral("e\u0301").repeated(31), QStringLiteral("e\u0301").repeated(30)},
        {QStringLiteral("   "), QStringLiteral("   ")},
        {QStringLiteral("  Büro "), QStringLiteral("  Büro ")},
    };
    for (const Case& c : cases) {
        row->setLabel(c.typed);
        EXPECT_EQ(m.settings().clocks[0].name, c.stored) << c.typed.toStdString();
        EXPECT_EQ(row->labelField()->text(), c.stored);
    }
    // Typing the 31st character changes nothing.
    row->setLabel(QString(30, u'b'));
    row->labelField()->setFocus();
    row->labelField()->end(false);
    QTest::keyClicks(row->labelField(), QStringLiteral("c"));
    EXPECT_EQ(m.settings().clocks[0].name, QString(30, u'b'));
    EXPECT_EQ(row->labelField()->text(), QString(30, u'b'));
}

TEST(ClocksCard, RowTimesAndPreviewsFollowTheirZoneAndRepaintOncePerSecond) {
    DisplayHost h;
    AppModel& m = h.start(withClocks({clockIn(""), clockIn("Asia/Kathmandu"), clockIn("Nowhere/Atlantis")}));
    auto* card = h.show(new ClocksCard(m));
    // 05:59:50 UTC: Berlin (the local zone) 06:59:50, Kathmandu 11:44:50.
    EXPECT_EQ(card->row(0)->time()->text(), QStringLiteral("06:59:50"));
    EXPECT_EQ(card->row(1)->time()->text(), QStringLiteral("11:44:50"));
    EXPECT_EQ(card->row(2)->time()->text(), QStringLiteral("06:59:50")) << "an unknown zone reads local";
    EXPECT_EQ(card->row(1)->designButton()->preview()->shownTime().minute, 44);

    DialPreview* preview = card->row(1)->designButton()->preview();
    ModelHarness::settle();
    const int painted = preview->paintCount();
    // A fast tick inside the same second repaints nothing.
    h.clock.advance(0.04);
    m.tick();
    ModelHarness::settle();
    EXPECT_EQ(preview->paintCount(), painted);
    EXPECT_EQ(card->row(1)->time()->text(), QStringLiteral("11:44:50"));
    h.clock.advance(1.0);
    m.tick();
    ModelHarness::settle();
    EXPECT_EQ(card->row(1)->time()->text(), QStringLiteral("11:44:51"));
    EXPECT_GT(preview->paintCount(), painted);
}
