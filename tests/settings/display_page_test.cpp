// The display page's own rows and the default dial gallery.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QSlider>
#include <QTest>

#include "DisplayHost.h"
#include "settings/display/DesignTile.h"
#include "settings/display/DialGalleryCard.h"
#include "settings/display/DisplayPage.h"
#include "shell/components/TextLines.h"
#include "shell/components/ThemedButton.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

constexpr int kImage = 8;
const QString kWarning = QStringLiteral("Bilddatei nicht gefunden – das gewählte Design wird angezeigt.");

QString writePng(const QString& path) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::darkMagenta);
    EXPECT_TRUE(image.save(path));
    return path;
}

}  // namespace

TEST(DisplayPage, ModeSmoothDateAndSizeWriteTheSettings) {
    DisplayHost h;
    AppSettings s = ModelHarness::quietSettings();
    s.displayMode = ClockDisplayMode::analog;
    s.smoothSecondHand = true;
    AppModel& m = h.start(s);
    auto* page = h.show(new DisplaySettings(m), QSize(900, 1100));
    EXPECT_TRUE(page->analogButton()->isChecked());
    EXPECT_LT(page->analogButton()->x(), page->digitalButton()->x()) << "Analog stands left of Digital";
    EXPECT_EQ(m.rate(), AppModel::TickRate::fast);

    QTest::mouseClick(page->digitalButton(), Qt::LeftButton);
    EXPECT_EQ(m.settings().displayMode, ClockDisplayMode::digital);
    EXPECT_EQ(m.rate(), AppModel::TickRate::second) << "the fast tick is no longer needed";

    page->dateToggle()->click();
    EXPECT_FALSE(m.settings().showDate);
    m.editSettings([](AppSettings& next) { next.showDate = true; });  // as the general page would
    EXPECT_TRUE(page->dateToggle()->isChecked());

    struct Case {
        double in, stored;
    } sizes[] = {{100.4, 100}, {100.5, 101}, {10, 24}, {999, 320}, {std::nan(""), 120},
                 {std::numeric_limits<double>::infinity(), 120}};
    for (const Case& c : sizes) EXPECT_EQ(DisplaySettings::sliderFontSize(c.in), c.stored) << c.in;
    page->sizeSlider()->setValue(100);
    EXPECT_EQ(m.settings().fontSize, 100);
    EXPECT_EQ(page->sizeLabel()->text(), QStringLiteral("100\u00A0pt"));
}

TEST(DisplayPage, FontFamiliesAreTrimmedAndAMissingOneStaysListed) {
    DisplayHost h;
    AppSettings s = ModelHarness::quietSettings();
    s.fontFamily = QStringLiteral("Gibt Es Nicht Sans");
    AppModel& m = h.start(s);
    auto* page = h.show(new DisplaySettings(m), QSize(900, 1100));
    EXPECT_EQ(page->fontPicker()->currentText(), QStringLiteral("Gibt Es Nicht Sans"));
    EXPECT_EQ(page->preview()->font().family(), DisplaySettings::previewFont(QString()).family())
        << "a family that is not installed previews in the system font";

    page->chooseFamily(QStringLiteral("  DejaVu Sans \n"));
    EXPECT_EQ(m.settings().fontFamily, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(page->fontPicker()->currentText(), QStringLiteral("DejaVu Sans"));
    page->chooseFamily(QStringLiteral(" \t"));
    EXPECT_EQ(m.settings().fontFamily, AppSettings::defaultFontFamily());
}

// Settings from another system name its default font, which this computer
// lacks: the picker shows the family the clock really draws with, while a
// family the user chose here is left alone.
TEST(DisplayPage, AnotherSystemsDefaultFontReadsAsThisOnes) {
    if (QFontDatabase::families().contains(QStringLiteral("Helvetica Neue")))
        GTEST_SKIP() << "Helvetica Neue is installed here";
    const QString here = AppSettings::defaultFontFamily();
    ASSERT_TRUE(QFontDatabase::families().contains(here)) << here.toStdString();
    QString chosen;  // an installed family that is not the default
    for (const QString& f : QFontDatabase::families())
        if (f != here && !f.startsWith(QLatin1Char('.'))) chosen = f;
    ASSERT_FALSE(chosen.isEmpty());

    for (const QString& stored : {QStringLiteral("Helvetica Neue"), chosen}) {
        SCOPED_TRACE(stored.toStdString());
        DisplayHost h;
        AppSettings s = ModelHarness::quietSettings();
        s.fontFamily = stored;
        AppModel& m = h.start(s);
        const QString expected = stored == chosen ? chosen : here;
        EXPECT_EQ(m.settings().fontFamily, expected);
        auto* page = h.show(new DisplaySettings(m), QSize(900, 1100));
        EXPECT_EQ(page->fontPicker()->currentText(), expected);
        EXPECT_FALSE(m.fontFamilies().contains(QStringLiteral("Helvetica Neue")));
        EXPECT_EQ(page->preview()->font().family(), expected);
    }
}

TEST(DialGallery, SelectionFollowsStyleAndImageAndTheImageIsReusedWhileItsFileExists) {
    DisplayHost h;
    auto chooser = std::make_unique<FakeChooser>();
    FakeChooser* answers = chooser.get();
    h.fileChooser = std::move(chooser);
    const QString png = writePng(h.dir.filePath(QStringLiteral("alle.png")));
    AppSettings s = ModelHarness::quietSettings();
    s.dialStyle = DialStyle::roman;
    s.dialImagePath = png;
    s.useCustomDial = false;
    AppModel& m = h.start(s);
    auto* card = h.show(new DialGalleryCard(m), QSize(400, 600));
    EXPECT_EQ(card->selectedTile(), int(DialStyle::roman));
    EXPECT_TRUE(card->tile(int(DialStyle::roman))->selected());
    EXPECT_TRUE(card->tile(kImage)->preview()->look().placeholder) << "no image is loaded while it is off";
    EXPECT_FALSE(card->warning()->hasWarning());

    // The stored file is still there: switched on without a dialog.
    QTest::mouseClick(card->tile(kImage), Qt::LeftButton);
    EXPECT_TRUE(answers->titles.empty());
    EXPECT_TRUE(m.settings().useCustomDial);
    EXPECT_TRUE(card->tile(kImage)->selected());
    ModelHarness::settle();
    EXPECT_FALSE(card->tile(kImage)->preview()->look().placeholder);

    // A style turns the image off and keeps its path.
    QTest::mouseClick(card->tile(int(DialStyle::night)), Qt::LeftButton);
    EXPECT_EQ(m.settings().dialStyle, DialStyle::night);
    EXPECT_FALSE(m.settings().useCustomDial);
    EXPECT_EQ(m.settings().dialImagePath, png);

    // The file is gone: the tile asks for a new one.
    QFile::remove(png);
    QTest::mouseClick(card->tile(kImage), Qt::LeftButton);
    ASSERT_EQ(answers->titles.size(), 1u);
    EXPECT_EQ(answers->titles.back(), QStringLiteral("Zifferblatt-Bild auswählen"));
    EXPECT_FALSE(m.settings().useCustomDial) << "a cancelled dialog changes nothing";

    // On without a usable file: selected, and the warning says so.
    m.editSettings([](AppSettings& next) { next.useCustomDial = true; });
    EXPECT_TRUE(card->tile(kImage)->selected());
    EXPECT_EQ(card->warning()->text(), kWarning);
    m.editSettings([](AppSettings& next) { next.dialImagePath = QString(); });
    EXPECT_EQ(card->warning()->text(), kWarning);

    // "Bild auswählen …" always asks, and a chosen file is used.
    const QString fresh = writePng(h.dir.filePath(QStringLiteral("neu.png")));
    answers->answers.push_back(fresh);
    QTest::mouseClick(card->chooseButton(), Qt::LeftButton);
    EXPECT_EQ(answers->titles.size(), 2u);
    ASSERT_TRUE(m.settings().dialImagePath);
    EXPECT_TRUE(QFile::exists(*m.settings().dialImagePath));
    EXPECT_TRUE(m.settings().useCustomDial);
    EXPECT_FALSE(card->warning()->hasWarning());
}

// A shared image that cannot be taken over says why under the image row,
// until the default design changes.
TEST(DialGallery, AFailedImportShowsWhyUnderTheImageRow) {
    DisplayHost h;
    auto chooser = std::make_unique<FakeChooser>();
    FakeChooser* answers = chooser.get();
    h.fileChooser = std::move(chooser);
    AppModel& m = h.start(ModelHarness::quietSettings());
    auto* card = h.show(new DialGalleryCard(m), QSize(400, 700));
    EXPECT_FALSE(card->importProblem()->isVisible());

    const QString pipe = h.dir.filePath(QStringLiteral("rohr.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    answers->answers = {pipe};
    QTest::mouseClick(card->chooseButton(), Qt::LeftButton);
    h.settle();
    EXPECT_FALSE(m.settings().useCustomDial);
    EXPECT_TRUE(card->importProblem()->isVisible());
    EXPECT_EQ(card->importProblem()->text(), m.settingsService().lastError().value_or(QString()));
    EXPECT_TRUE(card->importProblem()->text().startsWith(QStringLiteral("Datei konnte nicht übernommen werden: ")));
    h.shoot(card, "dial-gallery-import-failed");

    QTest::mouseClick(card->tile(int(DialStyle::dots)), Qt::LeftButton);
    h.settle();
    EXPECT_FALSE(card->importProblem()->isVisible());
}
