// The station search against a loopback directory: the typing pause, Return,
// stale answers, failures and picking a row.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QProxyStyle>
#include <QTest>

#include "TestWait.h"
#include "settings/DirectoryServer.h"
#include "settings/StationPicker.h"

using namespace corvane;
using corvane::test::waitUntil;
using corvane::testing::DirectoryServer;
using State = StationPicker::SearchState;

namespace {

struct SingleClickStyle : QProxyStyle {
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ItemView_ActivateItemOnSingleClick) return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

struct PickerFixture : ::testing::Test {
    DirectoryServer directory;
    std::vector<Sonvela::Station> picked;
    std::unique_ptr<StationPicker> picker;

    void SetUp() override {
        picker = std::make_unique<StationPicker>([this](const Sonvela::Station& s) { picked.push_back(s); },
                                                 directory.options());
        picker->show();
    }

    void type(const char* text) { QTest::keyClicks(picker->searchField(), QString::fromUtf8(text)); }
    // Longer than the typing pause, so a waiting search has started.
    static void pause() { QTest::qWait(StationPicker::kPauseMs + 150); }
    bool settled() { return picker->state() == State::done || picker->state() == State::failed; }
};

TEST_F(PickerFixture, StartsIdleAndOneCharacterAsksNothing) {
    EXPECT_EQ(picker->state(), State::idle);
    EXPECT_EQ(picker->statusText(), "Namen eingeben – die beliebtesten Sender erscheinen zuerst.");
    EXPECT_FALSE(picker->resultList()->isVisibleTo(picker.get()));

    for (const char* query : {"a", "  b\t", " "}) {
        picker->searchField()->clear();
        type(query);
        pause();
        EXPECT_EQ(picker->state(), State::idle) << query;
    }
    picker->searchField()->clear();
    type(" a ");
    picker->restartSearch(false);  // Return
    QTest::qWait(100);
    EXPECT_EQ(directory.requestCount(), 0);
    EXPECT_EQ(picker->state(), State::idle);
}

TEST_F(PickerFixture, QuickKeystrokesThenAPauseMakeOneRequestWithTheFullText) {
    directory.body = corvane::testing::kStations;
    type("Radio");  // five keystrokes, far quicker than the pause
    QTest::qWait(StationPicker::kPauseMs / 2);
    EXPECT_EQ(directory.requestCount(), 0) << "asked before the pause ended";
    ASSERT_TRUE(waitUntil([&] { return settled(); }));
    ASSERT_EQ(directory.requestCount(), 1);
    EXPECT_EQ(directory.path(0), "/json/stations/search");
    EXPECT_EQ(directory.queryItem(0, "name"), "Radio");
    QTest::qWait(StationPicker::kPauseMs);
    EXPECT_EQ(directory.requestCount(), 1);

    // The broken station is dropped; names are shown trimmed, and a station
    // without country or format shows its name alone.
    EXPECT_EQ(picker->state(), State::done);
    ASSERT_EQ(picker->results().size(), 2);
    QListWidget* list = picker->resultList();
    EXPECT_TRUE(list->isVisibleTo(picker.get()));
    EXPECT_EQ(list->height(), StationPicker::kListHeight);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->data(Qt::UserRole + 1).toString(), "Radio Eins");
    EXPECT_FALSE(list->item(0)->data(Qt::UserRole + 2).toString().isEmpty());
    EXPECT_TRUE(list->item(1)->data(Qt::UserRole + 2).toString().isEmpty());
    EXPECT_TRUE(picker->statusText().isEmpty());
}

TEST_F(PickerFixture, ReturnSearchesAtOnceAndCancelsTheWaitingSearch) {
    directory.body = corvane::testing::kStations;
    type("BBC");
    QTest::keyClick(picker->searchField(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return settled(); }, StationPicker::kPauseMs - 100));
    EXPECT_EQ(directory.requestCount(), 1);
    pause();
    EXPECT_EQ(directory.requestCount(), 1) << "the waiting search ran after Return";
}

TEST_F(PickerFixture, ShowsTheSpinnerWhileAskingAndDropsAnAnswerOvertakenByTyping) {
    directory.body = corvane::testing::kStations;
    directory.holdAnswers = true;
    type("Radio");
    ASSERT_TRUE(waitUntil([&] { return directory.requestCount() == 1; }));
    EXPECT_EQ(picker->state(), State::searching);
    EXPECT_EQ(picker->statusText(), "Suche …");

    // Down to one character while the request runs, then the answer comes.
    picker->searchField()->setText("R");
    directory.release();
    QTest::qWait(100);
    EXPECT_TRUE(picker->results().isEmpty()) << "a cancelled search filled the list";
    pause();
    EXPECT_EQ(picker->state(), State::idle);
    EXPECT_TRUE(picker->results().isEmpty());
    EXPECT_FALSE(picker->resultList()->isVisibleTo(picker.get()));
    EXPECT_EQ(directory.requestCount(), 1);
}

TEST_F(PickerFixture, EmptyAnswerAndFailureEachHaveTheirLine) {
    directory.body = "[]";
    type("Nichts");
    ASSERT_TRUE(waitUntil([&] { return settled(); }));
    EXPECT_EQ(picker->state(), State::done);
    EXPECT_EQ(picker->statusText(), "Kein Sender gefunden.");

    // A list first, then a failing directory: the old list goes away.
    directory.body = corvane::testing::kStations;
    picker->restartSearch(false);
    ASSERT_TRUE(waitUntil([&] { return picker->results().size() == 2; }));
    for (auto [status, body] : {std::pair{500, QByteArray("[]")}, std::pair{200, QByteArray("{\"no\":1}")}}) {
        directory.status = status;
        directory.body = body;
        picker->restartSearch(false);
        ASSERT_TRUE(waitUntil([&] { return picker->state() == State::failed; })) << status;
        EXPECT_TRUE(picker->results().isEmpty());
        EXPECT_FALSE(picker->resultList()->isVisibleTo(picker.get()));
        EXPECT_EQ(picker->statusText(),
                  "Keine Verbindung zum Senderverzeichnis. Bitte später noch einmal versuchen.");
        picker->searchField()->setText("Nichts");  // the state changes only with the next search
    }
}

TEST_F(PickerFixture, AClickHandsTheStationOverOnceAndTheListStays) {
    directory.body = corvane::testing::kStations;
    type("Radio");
    picker->restartSearch(false);
    ASSERT_TRUE(waitUntil([&] { return picker->results().size() == 2; }));
    QListWidget* list = picker->resultList();
    const QRect row = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(row.right() - 4, row.center().y()));
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0].stationuuid, "u-2");
    EXPECT_EQ(picker->results().size(), 2);
    EXPECT_EQ(picker->state(), State::done);

    // On a desktop that activates items on a single click, the same click
    // also activates the row: still one pick.
    SingleClickStyle style;
    list->setStyle(&style);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(row.left() + 4, row.center().y()));
    ASSERT_EQ(picked.size(), 2u);
    EXPECT_EQ(picked[1].stationuuid, "u-2");
    // Return on the current row picks it, once.
    list->setCurrentRow(0);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(picked.size(), 3u);
    EXPECT_EQ(picked[2].stationuuid, "u-1");
    list->setStyle(nullptr);
}

TEST(StationPickerDeadline, ADirectoryThatNeverFinishesEndsInTheConnectionWarning) {
    DirectoryServer directory;
    directory.holdAnswers = true;
    Sonvela::DirectoryOptions options = directory.options();
    options.deadlineMs = 400;
    StationPicker picker([](const Sonvela::Station&) {}, options);
    picker.show();
    QTest::keyClicks(picker.searchField(), QStringLiteral("Jazz"));
    picker.restartSearch(false);
    EXPECT_EQ(picker.statusText(), "Suche …");
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(waitUntil([&] { return picker.state() == State::failed; }, 3000));
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_EQ(picker.statusText(), "Keine Verbindung zum Senderverzeichnis. Bitte später noch einmal versuchen.");
}

}  // namespace
