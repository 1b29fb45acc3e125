// The radio wake editor on a model with fake system services: fade entries,
// pasted wake links (with the name lookup against a loopback directory),
// the notices and the test button.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QScreen>
#include <QTest>

#include "TestWait.h"
#include "appmodel/ModelHarness.h"
#include "settings/DirectoryServer.h"
#include "settings/RadioWakeEditor.h"
#include "settings/StationPicker.h"
#include "shell/components/ThemedButton.h"

using namespace corvane;
using corvane::test::waitUntil;
using corvane::testing::DirectoryServer;
using corvane::testing::ModelHarness;
using Mode = AlarmSettings::RadioMode;
using Notice = RadioWakeEditor::Notice;

namespace {

struct EditorFixture : ::testing::Test {
    ModelHarness h;
    DirectoryServer directory;
    std::optional<QString> clipboard;
    std::unique_ptr<RadioWakeEditor> editor;

    AppModel& make(const AlarmSettings& first = {}) {
        AppSettings s = ModelHarness::quietSettings();
        s.alarms[0] = first;
        h.writeSettings(s);
        AppModel& m = h.make();
        RadioLinks links;
        links.clipboardText = [this] { return clipboard; };
        links.directory = directory.options();
        editor = std::make_unique<RadioWakeEditor>(m, 0, links);
        editor->resize(420, 400);
        editor->show();
        return m;
    }
    const AlarmSettings& alarm() { return h.model->settings().alarms[0]; }
    std::vector<QString> fadeTexts() {
        std::vector<QString> out;
        for (int i = 0; i < editor->fadePicker()->count(); ++i) out.push_back(editor->fadePicker()->itemText(i));
        return out;
    }
};

AlarmSettings radioAlarm(Mode mode, std::optional<QString> uuid = std::nullopt,
                         std::optional<QString> name = std::nullopt) {
    AlarmSettings a;
    a.wakeWithRadio = true;
    a.radioMode = mode;
    a.radioStationUUID = std::move(uuid);
    a.radioStationName = std::move(name);
    a.fadeSeconds = 30;
    a.radioVolume = 70;
    return a;
}

TEST(RadioWakeEditor, FadeLabels) {
    const std::pair<qint64, const char*> cases[] = {
        {0, "Aus – sofort laut"},         {45, "In 45\u00A0Sekunden lauter"}, {100, "In 100\u00A0Sekunden lauter"},
        {120, "In 2\u00A0Minuten lauter"},     {150, "In 2\u00A0Minuten lauter"},  {599, "In 9\u00A0Minuten lauter"},
        {600, "In 10\u00A0Minuten lauter"},
    };
    for (const auto& [seconds, text] : cases) EXPECT_EQ(RadioWakeEditor::fadeLabel(seconds), QString::fromUtf8(text)) << seconds;
}

TEST(RadioWakeEditor, NoticePriority) {
    const AlarmSettings noStation = radioAlarm(Mode::station);
    const AlarmSettings emptyStation = radioAlarm(Mode::station, QString());
    const AlarmSettings random = radioAlarm(Mode::randomFavorite);
    struct Case {
        const AlarmSettings* alarm;
        bool installed;
        bool testFailed;
        Notice expected;
    };
    const Case cases[] = {
        {&noStation, false, true, Notice::notInstalled},  {&noStation, true, true, Notice::chooseStation},
        {&emptyStation, true, false, Notice::silence},     {&emptyStation, true, true, Notice::testFailed},
        {&random, true, true, Notice::testFailed},         {&random, true, false, Notice::silence},
        {&random, false, false, Notice::notInstalled},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RadioWakeEditor::noticeFor(*c.alarm, c.installed, c.testFailed), c.expected)
            << int(c.alarm->radioMode) << c.installed << c.testFailed;
}

TEST(RadioWakeEditor, SliderValuesBecomeWholePerCentWithinRange) {
    for (auto [slider, stored] : {std::pair{42.5, 43}, {42.49, 42}, {0.0, 1}, {0.5, 1}, {100.4, 100}, {250.0, 100}})
        EXPECT_EQ(RadioWakeEditor::volumeFromSlider(slider), stored) << slider;
}

TEST_F(EditorFixture, AnOddStoredFadeIsShownAsAnExtraFirstEntryUntilAFixedOneIsChosen) {
    AlarmSettings a;
    a.fadeSeconds = 45;
    make(a);
    std::vector<QString> texts = fadeTexts();
    ASSERT_EQ(texts.size(), 8u);
    EXPECT_EQ(texts[0], "In 45\u00A0Sekunden lauter");
    EXPECT_EQ(texts[1], "Aus – sofort laut");
    EXPECT_EQ(editor->fadePicker()->currentIndex(), 0);

    // Choose "In 3 Minuten lauter" as a user would.
    const int chosen = editor->fadePicker()->findText("In 3\u00A0Minuten lauter");
    ASSERT_GE(chosen, 0);
    Q_EMIT editor->fadePicker()->activated(chosen);
    EXPECT_EQ(alarm().fadeSeconds, 180);
    texts = fadeTexts();
    EXPECT_EQ(texts.size(), 7u);
    EXPECT_EQ(editor->fadePicker()->currentText(), "In 3\u00A0Minuten lauter");
}

TEST_F(EditorFixture, PastedLinksAreLimitedAndKeepWhatTheyDoNotName) {
    struct Case {
        const char* link;
        Mode mode;
        qint64 fade;
        qint64 volume;
        std::optional<QString> uuid;
        std::optional<QString> name;
    };
    // Before each paste: alarm tone, station "keep" named "Behalten", fade 30, volume 70.
    const Case cases[] = {
        {"sonvela://play?station=random&fade=900&volume=0", Mode::randomFavorite, 600, 1, "keep", "Behalten"},
        {"  SONVELA://Play?fade=-5&volume=250\n", Mode::lastPlayed, 0, 100, "keep", "Behalten"},
        {"sonvela://play?station=RANDOM", Mode::randomFavorite, 30, 70, "keep", "Behalten"},
        {"sonvela://play?fade=abc&volume=1.5", Mode::lastPlayed, 30, 70, "keep", "Behalten"},
        {"sonvela://play?station=Ab-12&fade=60", Mode::station, 60, 70, "Ab-12", std::nullopt},
    };
    AlarmSettings start = radioAlarm(Mode::station, QStringLiteral("keep"), QStringLiteral("Behalten"));
    start.wakeWithRadio = false;
    make(start);
    directory.body = "[]";  // the lookup finds nothing, so the name stays empty
    for (const Case& c : cases) {
        h.model->editSettings([&](AppSettings& s) { s.alarms[0] = start; });
        clipboard = QString::fromUtf8(c.link);
        editor->pasteWakeLink();
        EXPECT_TRUE(alarm().wakeWithRadio) << c.link;
        EXPECT_EQ(alarm().radioMode, c.mode) << c.link;
        EXPECT_EQ(alarm().fadeSeconds, c.fade) << c.link;
        EXPECT_EQ(alarm().radioVolume, c.volume) << c.link;
        EXPECT_EQ(alarm().radioStationUUID, c.uuid) << c.link;
        EXPECT_EQ(alarm().radioStationName, c.name) << c.link;
        EXPECT_EQ(editor->linkMessage(), "Weck-Link übernommen.") << c.link;
        EXPECT_TRUE(editor->radioRows()->isVisibleTo(editor.get())) << c.link;
    }
}

TEST_F(EditorFixture, AnythingButAWakeLinkChangesNothing) {
    const AlarmSettings start = radioAlarm(Mode::station, QStringLiteral("keep"), QStringLiteral("Behalten"));
    make(start);
    QString huge = QStringLiteral("sonvela://play?station=") + QString(1024 * 1024, u'x');
    const QString controls = QStringLiteral("sonvela://play?station=a") + QChar(1) + QChar(2) + u'b' + QChar(0x7f) +
                             QChar(0) + QStringLiteral("&fade=5");
    const std::optional<QString> texts[] = {
        std::nullopt, QString(), QStringLiteral("https://play?station=x"), QStringLiteral("sonvela://open"),
        QStringLiteral("sonvela:play?station=x"), QStringLiteral("kein Link"), huge, controls,
    };
    for (const auto& text : texts) {
        clipboard = text;
        QElapsedTimer clock;
        clock.start();
        editor->pasteWakeLink();
        EXPECT_LT(clock.elapsed(), 1000);
        EXPECT_EQ(alarm(), start) << text.value_or("(none)").left(40).toStdString();
        EXPECT_EQ(editor->linkMessage(), "In der Zwischenablage ist kein Weck-Link von Sonvela.");
    }
    EXPECT_EQ(directory.requestCount(), 0);
}

TEST_F(EditorFixture, TheNameLookupFillsTheNameOnlyWhileTheAlarmHoldsThatStation) {
    make(radioAlarm(Mode::randomFavorite));
    directory.holdAnswers = true;
    directory.body = R"([{"stationuuid":"s-1","name":"  Radio Paloma\n"}])";

    clipboard = QStringLiteral("sonvela://play?station=s-1");
    editor->pasteWakeLink();
    ASSERT_TRUE(waitUntil([&] { return directory.requestCount() == 1; }));
    EXPECT_EQ(directory.path(0), "/json/stations/byuuid");
    EXPECT_EQ(directory.queryItem(0, "uuids"), "s-1");
    // Until the name comes the row shows the identifier, as a chosen station.
    EXPECT_EQ(editor->stationText().text(), "s-1");
    EXPECT_TRUE(editor->stationText().isPrimary());
    directory.release();
    ASSERT_TRUE(waitUntil([&] { return alarm().radioStationName.has_value(); }));
    EXPECT_EQ(alarm().radioStationName, "Radio Paloma");
    EXPECT_EQ(editor->stationText().text(), "Radio Paloma");

    // A second link, then another station picked before its answer arrives.
    clipboard = QStringLiteral("sonvela://play?station=s-2");
    editor->pasteWakeLink();
    ASSERT_TRUE(waitUntil([&] { return directory.requestCount() == 2; }));
    Sonvela::Station other;
    other.stationuuid = QStringLiteral("s-3");
    other.name = QStringLiteral("Drei");
    editor->pickStation(other);
    directory.body = R"([{"stationuuid":"s-2","name":"Zwei"}])";
    directory.release();
    QTest::qWait(200);
    EXPECT_EQ(alarm().radioStationUUID, "s-3");
    EXPECT_EQ(alarm().radioStationName, "Drei");
}

TEST_F(EditorFixture, ALookupThatEndsAfterTheEditorClosedStillNamesTheStation) {
    make(radioAlarm(Mode::station));
    directory.holdAnswers = true;
    directory.body = R"([{"stationuuid":"late","name":"Spät"}])";
    clipboard = QStringLiteral("sonvela://play?station=late");
    editor->pasteWakeLink();
    ASSERT_TRUE(waitUntil([&] { return directory.requestCount() == 1; }));
    editor.reset();
    directory.release();
    ASSERT_TRUE(waitUntil([&] { return alarm().radioStationName.has_value(); }));
    EXPECT_EQ(alarm().radioStationName, "Spät");
}

TEST_F(EditorFixture, StationRowAndTestButtonFollowTheStation) {
    make(radioAlarm(Mode::station, std::nullopt, QStringLiteral("Nur ein Name")));
    EXPECT_EQ(editor->stationText().text(), "Nur ein Name");
    EXPECT_FALSE(editor->stationText().isPrimary());
    EXPECT_FALSE(editor->testButton()->isEnabled());
    EXPECT_EQ(editor->notice(), Notice::chooseStation);

    h.model->editSettings([](AppSettings& s) { s.alarms[0].radioStationName.reset(); });
    EXPECT_EQ(editor->stationText().text(), "Kein Sender gewählt");

    Sonvela::Station picked;
    picked.stationuuid = QStringLiteral("p-1");
    picked.name = QStringLiteral(" Gewählt\n");
    editor->pickStation(picked);
    EXPECT_EQ(alarm().radioStationUUID, "p-1");
    EXPECT_EQ(alarm().radioStationName, "Gewählt");
    EXPECT_EQ(alarm().radioMode, Mode::station);
    EXPECT_TRUE(editor->stationText().isPrimary());
    EXPECT_TRUE(editor->testButton()->isEnabled());
    EXPECT_EQ(editor->notice(), Notice::silence);

    // The other modes need no station.
    h.model->editSettings([](AppSettings& s) {
        s.alarms[0].radioMode = Mode::lastPlayed;
        s.alarms[0].radioStationUUID.reset();
    });
    EXPECT_TRUE(editor->testButton()->isEnabled());
}

TEST_F(EditorFixture, AFailedTestShowsItsWarningUnlessTheRadioIsMissing) {
    make(radioAlarm(Mode::randomFavorite));
    h.scheme.accepts = false;
    QTest::mouseClick(editor->testButton(), Qt::LeftButton);
    EXPECT_EQ(h.scheme.opened, 1);
    EXPECT_TRUE(editor->testFailed());
    EXPECT_EQ(editor->notice(), Notice::testFailed);

    // The warning stays through later edits until a test works.
    h.model->editSettings([](AppSettings& s) { s.alarms[0].radioVolume = 20; });
    EXPECT_EQ(editor->notice(), Notice::testFailed);
    h.scheme.accepts = true;
    editor->testPlay();
    EXPECT_EQ(editor->notice(), Notice::silence);

    h.scheme.installed = false;
    editor->testPlay();
    EXPECT_TRUE(editor->testFailed());
    EXPECT_EQ(editor->notice(), Notice::notInstalled);
}

TEST_F(EditorFixture, SourceAndModeControlsWriteTheAlarm) {
    make();
    EXPECT_FALSE(editor->radioRows()->isVisibleTo(editor.get()));
    QTest::mouseClick(editor->sourceButton(true), Qt::LeftButton);
    EXPECT_TRUE(alarm().wakeWithRadio);
    EXPECT_TRUE(editor->radioRows()->isVisibleTo(editor.get()));

    Q_EMIT editor->modePicker()->activated(1);
    EXPECT_EQ(alarm().radioMode, Mode::station);
    editor->volumeSlider()->setValue(37);
    EXPECT_EQ(alarm().radioVolume, 37);
    EXPECT_EQ(editor->volumeText(), "37\u00A0%");

    // Back to the tone: the radio fields stay as they were.
    QTest::mouseClick(editor->sourceButton(false), Qt::LeftButton);
    EXPECT_FALSE(alarm().wakeWithRadio);
    EXPECT_EQ(alarm().radioMode, Mode::station);
    EXPECT_EQ(alarm().radioVolume, 37);
    EXPECT_FALSE(editor->radioRows()->isVisibleTo(editor.get()));
}

TEST_F(EditorFixture, SearchOpensAFreshPickerThatClosesOnAPick) {
    make(radioAlarm(Mode::station));
    directory.body = corvane::testing::kStations;
    QTest::mouseClick(editor->searchButton(), Qt::LeftButton);
    StationPicker* picker = editor->picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(picker->query().isEmpty());
    QTest::keyClicks(picker->searchField(), QStringLiteral("Radio"));
    QTest::keyClick(picker->searchField(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return picker->results().size() == 2; }));
    picker->resultList()->setCurrentRow(0);
    Q_EMIT picker->resultList()->clicked(picker->resultList()->model()->index(0, 0));
    EXPECT_EQ(alarm().radioStationUUID, "u-1");
    EXPECT_EQ(alarm().radioStationName, "Radio Eins");
    ASSERT_TRUE(waitUntil([&] { return editor->picker() == nullptr; }));

    QTest::mouseClick(editor->searchButton(), Qt::LeftButton);
    ASSERT_NE(editor->picker(), nullptr);
    EXPECT_TRUE(editor->picker()->query().isEmpty());
    EXPECT_EQ(editor->picker()->state(), StationPicker::SearchState::idle);
}

TEST_F(EditorFixture, PickerPopupFitsItsContentBothWaysAndStaysOnTheScreen) {
    make(radioAlarm(Mode::station));
    directory.body = corvane::testing::kStations;
    // The editor low on the screen, so a list would reach past its bottom.
    const QRect screen = editor->screen()->availableGeometry();
    editor->move(screen.left() + 20, screen.bottom() - editor->height() + 40);
    h.settle();
    QTest::mouseClick(editor->searchButton(), Qt::LeftButton);
    StationPicker* picker = editor->picker();
    ASSERT_NE(picker, nullptr);
    QWidget* popup = picker->window();
    h.settle();
    const QSize idle = popup->size();
    EXPECT_EQ(idle, popup->sizeHint());
    EXPECT_TRUE(screen.contains(popup->frameGeometry())) << "idle popup off the screen";

    QTest::keyClicks(picker->searchField(), QStringLiteral("Radio"));
    QTest::keyClick(picker->searchField(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return picker->results().size() == 2; }));
    h.settle();
    EXPECT_GT(popup->height(), idle.height() + StationPicker::kListHeight / 2) << "the list did not get its room";
    EXPECT_TRUE(screen.contains(popup->frameGeometry())) << "the grown popup left the screen";
    const QRect button(editor->searchButton()->mapToGlobal(QPoint(0, 0)), editor->searchButton()->size());
    EXPECT_FALSE(popup->frameGeometry().intersects(button)) << "the popup covers its button";

    // Down to one character: the list hides and the popup shrinks back.
    picker->searchField()->setText(QStringLiteral("R"));
    QTest::keyClick(picker->searchField(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return picker->resultList()->isHidden(); }));
    h.settle();
    EXPECT_EQ(popup->size(), idle);
    EXPECT_TRUE(screen.contains(popup->frameGeometry()));
}

}  // namespace
