// A clock's own design: the panel's tiles, colours and actions, and the row's
// design button with its badge and the main window's highlight.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QSignalSpy>
#include <QTest>

#include "DisplayHost.h"
#include "settings/display/ClockDesignButton.h"
#include "settings/display/ClockDesignPanel.h"
#include "settings/display/ClocksCard.h"
#include "settings/display/DesignTile.h"
#include "settings/kit/ColorButton.h"
#include "shell/components/TextLines.h"
#include "shell/components/ThemedButton.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

constexpr int kStandard = 0;
constexpr int kImage = 9;
int styleTile(DialStyle s) { return 1 + int(s); }

int selectedOf(const ClockDesignPanel& panel) {
    int selected = -1;
    for (int i = 0; i < panel.tileCount(); ++i) {
        if (!panel.tile(i)->selected()) continue;
        EXPECT_EQ(selected, -1) << "two tiles selected";
        selected = i;
    }
    return selected;
}

QString writePng(const QString& path) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    EXPECT_TRUE(image.save(path));
    return path;
}

}  // namespace

TEST(ClockDesignPanel, ExactlyOneTileIsSelectedAndAnImageWinsOverItsStyle) {
    struct Case {
        std::optional<DialStyle> style;
        bool image;
        std::optional<QString> face;
        int selected;
    } cases[] = {
        {std::nullopt, false, std::nullopt, kStandard},
        {std::nullopt, false, QStringLiteral("#112233"), kStandard},
        {DialStyle::roman, false, std::nullopt, styleTile(DialStyle::roman)},
        {DialStyle::night, true, std::nullopt, kImage},
        {std::nullopt, true, std::nullopt, kImage},
    };
    for (const Case& c : cases) {
        ClockEntry clock = clockIn("Asia/Tokyo");
        clock.dialStyle = c.style;
        if (c.image) clock.dialImagePath = QStringLiteral("/nirgends/bild.png");
        clock.faceColor = c.face;
        EXPECT_EQ(ClockDesignPanel::selectedTile(clock), c.selected);
    }

    DisplayHost h;
    ClockEntry styled = clockIn("Asia/Tokyo");
    styled.dialStyle = DialStyle::dots;
    styled.dialImagePath = h.dir.filePath(QStringLiteral("fehlt.png"));  // missing: the placeholder shows
    AppModel& m = h.start(withClocks({clockIn("Europe/Berlin"), styled}));
    const QString id = m.settings().clocks[1].id;
    ClockDesignPanel panel(m, id, 1, &h.host);
    EXPECT_EQ(selectedOf(panel), kImage);
    EXPECT_TRUE(panel.tile(kImage)->preview()->look().placeholder);
    EXPECT_EQ(panel.headerText(), QStringLiteral("Design – Uhr 2 · Tokyo"));

    // A style tile drops the image; "Standard" drops both but keeps the colour.
    QTest::mouseClick(panel.tile(styleTile(DialStyle::elegant)), Qt::LeftButton);
    EXPECT_EQ(m.settings().clocks[1].dialStyle, DialStyle::elegant);
    EXPECT_FALSE(m.settings().clocks[1].dialImagePath);
    EXPECT_EQ(selectedOf(panel), styleTile(DialStyle::elegant));
    m.setClockFaceColor(id, QStringLiteral("#1A1A1A"));
    QTest::mouseClick(panel.tile(kStandard), Qt::LeftButton);
    const ClockEntry after = m.settings().clocks[1];
    EXPECT_FALSE(after.dialStyle || after.dialImagePath);
    EXPECT_EQ(after.faceColor, QStringLiteral("#1A1A1A"));
    EXPECT_EQ(selectedOf(panel), kStandard);
    EXPECT_TRUE(panel.resetButton()->isEnabled());
    EXPECT_EQ(panel.tile(styleTile(DialStyle::roman))->preview()->look().faceRGB, (RGB{0x1A, 0x1A, 0x1A}));
}

TEST(ClockDesignPanel, ResetIsThreeChangesAndApplyToAllCopiesTheWholeDesign) {
    DisplayHost h;
    const QString png = writePng(h.dir.filePath(QStringLiteral("eigen.png")));
    ClockEntry designed = clockIn("Asia/Tokyo");
    designed.dialStyle = DialStyle::modern;
    designed.dialImagePath = png;
    designed.faceColor = QStringLiteral("#2E7D32");
    ClockEntry other = clockIn("Europe/London", "Büro");
    other.dialStyle = DialStyle::roman;
    AppModel& m = h.start(withClocks({designed, other, clockIn("")}));
    const QString id = m.settings().clocks[0].id;
    ClockDesignPanel panel(m, id, 0, &h.host);
    ModelHarness::settle();
    EXPECT_FALSE(panel.tile(kImage)->preview()->look().placeholder) << "the loaded image is not shown";

    QTest::mouseClick(panel.applyAllButton(), Qt::LeftButton);
    for (const ClockEntry& c : m.settings().clocks) {
        EXPECT_EQ(c.dialStyle, DialStyle::modern);
        EXPECT_EQ(c.dialImagePath, png);
        EXPECT_EQ(c.faceColor, QStringLiteral("#2E7D32"));
    }
    EXPECT_EQ(m.settings().clocks[1].name, QStringLiteral("Büro")) << "only the design is copied";

    QSignalSpy changes(&m, &AppModel::settingsChanged);
    QTest::mouseClick(panel.resetButton(), Qt::LeftButton);
    EXPECT_EQ(changes.count(), 3);
    const ClockEntry reset = m.settings().clocks[0];
    EXPECT_FALSE(reset.dialStyle || reset.dialImagePath || reset.faceColor);
    EXPECT_FALSE(panel.resetButton()->isEnabled());
    EXPECT_EQ(selectedOf(panel), kStandard);

    // A clock without a design hands that on: everyone is back to default.
    QTest::mouseClick(panel.applyAllButton(), Qt::LeftButton);
    for (const ClockEntry& c : m.settings().clocks) EXPECT_FALSE(c.dialStyle || c.dialImagePath || c.faceColor);
}

TEST(ClockDesignPanel, FaceColourFromToggleSwatchesAndTheColourDialog) {
    DisplayHost h;
    AppModel& m = h.start(withClocks({clockIn("Asia/Tokyo")}));
    const QString id = m.settings().clocks[0].id;
    ClockDesignPanel panel(m, id, 0, &h.host);

    // On: the palette's current surface, in capitals; a theme change later
    // does not touch it.
    panel.colorToggle()->click();
    const QString surface = m.theme().surface.hexString();
    EXPECT_EQ(m.settings().clocks[0].faceColor, surface);
    EXPECT_EQ(surface, surface.toUpper());
    m.editSettings([](AppSettings& s) { s.theme = ThemeMode::light; });
    EXPECT_EQ(m.settings().clocks[0].faceColor, surface);
    panel.colorToggle()->click();
    EXPECT_FALSE(m.settings().clocks[0].faceColor);
    EXPECT_FALSE(panel.colorToggle()->isChecked());

    // Swatches are matched ignoring case, and none for a malformed colour.
    struct Case {
        const char* stored;
        int swatch;  // -1: none
    } cases[] = {{"#f4efe6", 1}, {"#F4EFE6", 1}, {"#2e7d32", 15}, {"#123456", -1}, {"kein", -1}};
    for (const Case& c : cases) {
        m.setClockFaceColor(id, QString::fromLatin1(c.stored));
        for (int i = 0; i < 16; ++i) EXPECT_EQ(panel.swatch(i)->selected(), i == c.swatch) << c.stored << " " << i;
        EXPECT_TRUE(panel.colorToggle()->isChecked());
    }
    EXPECT_FALSE(panel.tile(kStandard)->preview()->look().faceRGB) << "a malformed colour draws none";
    QTest::mouseClick(panel.swatch(9), Qt::LeftButton);
    EXPECT_EQ(m.settings().clocks[0].faceColor, QStringLiteral("#1F3A5F"));

    // The colour dialog reports components; 0.5 is byte 128.
    Q_EMIT panel.colorButton()->colorPicked(QColor::fromRgbF(0.5, 0.5, 0.5));
    EXPECT_EQ(m.settings().clocks[0].faceColor, QStringLiteral("#808080"));
}

TEST(ClockDesignPanel, AVanishedClockShowsTheStandByEntryAndChangesNothing) {
    DisplayHost h;
    AppModel& m = h.start(withClocks({clockIn("Asia/Tokyo"), clockIn("Europe/London")}));
    const QString id = m.settings().clocks[1].id;
    m.setClockFaceColor(id, QStringLiteral("#FFFFFF"));
    ClockDesignPanel panel(m, id, 1, &h.host);
    m.removeClock(id);
    EXPECT_EQ(selectedOf(panel), kStandard);
    EXPECT_FALSE(panel.resetButton()->isEnabled());
    EXPECT_TRUE(panel.headerText().startsWith(QStringLiteral("Design – Uhr 2 · Ortszeit · ")));
    const AppSettings before = m.settings();
    for (int i : {kStandard, styleTile(DialStyle::dots)}) QTest::mouseClick(panel.tile(i), Qt::LeftButton);
    QTest::mouseClick(panel.swatch(0), Qt::LeftButton);
    panel.colorToggle()->click();
    QTest::mouseClick(panel.applyAllButton(), Qt::LeftButton);
    EXPECT_EQ(m.settings(), before);
    EXPECT_FALSE(panel.colorToggle()->isChecked());
}

TEST(ClockDesignButton, BadgeTooltipAndHighlightHandover) {
    DisplayHost h;
    AppModel& m = h.start(withClocks({clockIn("Asia/Tokyo"), clockIn("Europe/London"), clockIn("")}));
    auto* card = h.show(new ClocksCard(m));
    ClockDesignButton* second = card->row(1)->designButton();
    ClockDesignButton* third = card->row(2)->designButton();
    EXPECT_EQ(third->toolTip(), QStringLiteral("Design von Uhr 3 wählen"));
    EXPECT_EQ(third->accessibleName(), QStringLiteral("Design von Uhr 3"));

    // No design: no badge and the default style; a colour brings the badge.
    m.editSettings([](AppSettings& s) { s.dialStyle = DialStyle::gradient; });
    EXPECT_FALSE(second->preview()->look().badge);
    EXPECT_EQ(second->preview()->look().style, DialStyle::gradient);
    m.setClockFaceColor(second->clockID(), QStringLiteral("nicht lesbar"));
    EXPECT_TRUE(second->preview()->look().badge) << "a malformed colour is still a design";
    EXPECT_FALSE(second->preview()->look().faceRGB);

    QTest::mouseClick(second, Qt::LeftButton);
    EXPECT_TRUE(second->isPanelOpen());
    EXPECT_EQ(m.highlightedClockID(), second->clockID());
    QTest::mouseClick(second, Qt::LeftButton);  // open does not toggle
    // The third row's panel takes the mark; closing the second then leaves it.
    third->openPanel();
    EXPECT_EQ(m.highlightedClockID(), third->clockID());
    second->panel()->hide();
    EXPECT_EQ(m.highlightedClockID(), third->clockID());
    third->panel()->hide();
    EXPECT_FALSE(m.highlightedClockID());

    // The panel stays with its clock when the clock moves.
    second->openPanel();
    m.moveClock(second->clockID(), -1);
    EXPECT_EQ(card->row(0)->designButton(), second);
    EXPECT_TRUE(second->isPanelOpen());
    EXPECT_EQ(second->panel()->headerText(), QStringLiteral("Design – Uhr 1 · London"));
    second->panel()->hide();
}

namespace {

// A file dialog that looks at the screen while it is "open".
class WatchingChooser final : public FileChooser {
public:
    std::function<void()> whileOpen;
    std::optional<QString> answer;
    std::optional<QString> chooseFile(const FileRequest&) override {
        if (whileOpen) whileOpen();
        return answer;
    }
};

}  // namespace

TEST(ClockDesignPanel, StaysOpenWithItsClockMarkedWhileItsDialogsAreOpen) {
    DisplayHost h;
    auto chooser = std::make_unique<WatchingChooser>();
    WatchingChooser* files = chooser.get();
    h.fileChooser = std::move(chooser);
    AppModel& m = h.start(withClocks({clockIn("Asia/Tokyo"), clockIn("Europe/London")}));
    auto* card = h.show(new ClocksCard(m));
    ClockDesignButton* button = card->row(1)->designButton();
    button->openPanel();
    ClockDesignPanel* panel = button->panel();
    ASSERT_TRUE(panel->isVisible());
    const QString id = button->clockID();
    const QPoint at = panel->pos();
    QSignalSpy closed(panel, &PopupPanel::closed);

    // The file dialog: the panel in sight and the clock marked all along;
    // afterwards a pop-up again, in the same place, with the new image.
    bool seenOpen = false;
    files->answer = writePng(h.dir.filePath(QStringLiteral("face.png")));
    files->whileOpen = [&] {
        seenOpen = panel->isVisible() && panel->isHeld() && panel->windowType() != Qt::Popup;
        EXPECT_EQ(m.highlightedClockID(), id);
    };
    panel->tile(kImage)->click();
    EXPECT_TRUE(seenOpen);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->windowType(), Qt::Popup);
    EXPECT_EQ(panel->pos(), at);
    EXPECT_EQ(m.highlightedClockID(), id);
    EXPECT_EQ(selectedOf(*panel), kImage);
    EXPECT_EQ(closed.count(), 0);

    // The colour dialog: usable beside the panel, which follows each colour.
    panel->colorButton()->click();
    QColorDialog* dialog = panel->colorButton()->dialog();
    ASSERT_NE(dialog, nullptr);
    h.settle();
    // A click into the dialog, as the window system delivers it: a pop-up
    // would take it as a click outside and close.
    ASSERT_NE(dialog->windowHandle(), nullptr);
    QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    h.settle();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->isHeld());
    dialog->setCurrentColor(QColor(0x1F, 0x3A, 0x5F));
    EXPECT_TRUE(panel->swatch(9)->selected());
    EXPECT_EQ(m.highlightedClockID(), id);
    dialog->reject();
    h.settle();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->isHeld());
    EXPECT_EQ(panel->windowType(), Qt::Popup);
    EXPECT_EQ(closed.count(), 0);

    // Closed while its dialog is open, it closes for good and opens next
    // time as a pop-up again.
    panel->colorButton()->click();
    panel->hide();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(m.highlightedClockID());
    panel->colorButton()->dialog()->reject();
    EXPECT_FALSE(panel->isVisible());
    button->openPanel();
    EXPECT_EQ(panel->windowType(), Qt::Popup);
    EXPECT_EQ(m.highlightedClockID(), id);
    panel->hide();
}

// An image that cannot be taken over says why in the panel of the clock it
// was picked for, until a good pick or another design tile.
TEST(ClockDesignPanel, AFailedImageImportShowsWhyUntilAGoodPickOrAnotherTile) {
    DisplayHost h;
    auto chooser = std::make_unique<FakeChooser>();
    FakeChooser* answers = chooser.get();
    h.fileChooser = std::move(chooser);
    AppModel& m = h.start(withClocks({clockIn("Asia/Tokyo"), clockIn("Europe/London")}));
    auto* card = h.show(new ClocksCard(m));
    ClockDesignButton* button = card->row(0)->designButton();
    button->openPanel();
    ClockDesignPanel* panel = button->panel();
    ASSERT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->importProblem()->isVisible());

    const QString pipe = h.dir.filePath(QStringLiteral("rohr.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const AppSettings before = m.settings();
    answers->answers = {pipe};
    QTest::mouseClick(panel->tile(kImage), Qt::LeftButton);
    h.settle();
    EXPECT_EQ(m.settings(), before);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->importProblem()->isVisible());
    EXPECT_TRUE(panel->importProblem()->text().startsWith(QStringLiteral("Datei konnte nicht übernommen werden: ")))
        << panel->importProblem()->text().toStdString();
    EXPECT_EQ(m.clockImageImportProblem(m.settings().clocks[1].id), std::nullopt);  // only where it was picked
    EXPECT_EQ(selectedOf(*panel), kStandard);
    h.shoot(panel, "design-panel-import-failed");

    // Another tile changes what the row shows: the line goes.
    QTest::mouseClick(panel->tile(styleTile(DialStyle::roman)), Qt::LeftButton);
    h.settle();
    EXPECT_FALSE(panel->importProblem()->isVisible());

    answers->answers = {pipe};
    QTest::mouseClick(panel->tile(kImage), Qt::LeftButton);
    h.settle();
    ASSERT_TRUE(panel->importProblem()->isVisible());
    answers->answers = {writePng(h.dir.filePath(QStringLiteral("gesicht.png")))};
    QTest::mouseClick(panel->tile(kImage), Qt::LeftButton);
    h.settle();
    EXPECT_FALSE(panel->importProblem()->isVisible());
    EXPECT_TRUE(m.settings().clocks[0].dialImagePath);
    EXPECT_EQ(selectedOf(*panel), kImage);
    panel->hide();
}
