// Photos in HEIF containers as dial images: read through libheif, and a file
// that cannot be read is told to the user instead of silently drawing the
// style.

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <sys/stat.h>

#include "appmodel/ModelHarness.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

const QString kWarning = QStringLiteral("Bilddatei nicht gefunden – das gewählte Design wird angezeigt.");

QByteArray heicBytes() {
    QFile f(QStringLiteral(CORVANE_TEST_DATA "/platform/fixtures/rotated.heic"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

}  // namespace

TEST(HeicDial, SharedAndClockImagesShowUpright) {
    ModelHarness h;
    const QString photo = writeFile(h.dir.filePath(QStringLiteral("IMG_0001.HEIC")), heicBytes());
    AppSettings s = ModelHarness::quietSettings();
    s.useCustomDial = true;
    s.dialImagePath = photo;
    s.clocks.push_back(ClockEntry::makeNew());
    s.clocks[1].dialImagePath = photo;
    h.writeSettings(s);
    AppModel& m = h.make();
    ModelHarness::settle();

    ASSERT_TRUE(m.dialImage());
    EXPECT_EQ(m.dialImage()->size(), QSize(48, 64));
    EXPECT_FALSE(m.dialImageWarning());
    const std::optional<QImage> own = m.clockImage(m.settings().clocks[1]);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->size(), QSize(48, 64));
}

TEST(HeicDial, AnUnreadableFileWarnsUntilAReadableOneIsChosen) {
    ModelHarness h;
    const QByteArray bytes = heicBytes();
    const QString broken = writeFile(h.dir.filePath(QStringLiteral("kaputt.heic")), bytes.left(bytes.size() / 2));
    const QString good = writeFile(h.dir.filePath(QStringLiteral("gut.heic")), bytes);
    AppSettings s = ModelHarness::quietSettings();
    s.useCustomDial = true;
    s.dialImagePath = broken;
    h.writeSettings(s);
    AppModel& m = h.make();
    QSignalSpy changed(&m, &AppModel::dialImageChanged);
    ModelHarness::settle();

    // The file exists, so only the failed decode can tell the user.
    EXPECT_FALSE(m.dialImage());
    EXPECT_EQ(m.dialImageWarning(), kWarning);
    EXPECT_GE(changed.count(), 1) << "views showing the warning were not told";

    m.editSettings([&](AppSettings& next) { next.dialImagePath = good; });
    EXPECT_FALSE(m.dialImageWarning()) << "a new file is not judged by the old one";
    ModelHarness::settle();
    EXPECT_TRUE(m.dialImage());
    EXPECT_FALSE(m.dialImageWarning());

    // Off, nothing is shown and nothing warns.
    m.editSettings([&](AppSettings& next) {
        next.dialImagePath = broken;
        next.useCustomDial = false;
    });
    ModelHarness::settle();
    EXPECT_FALSE(m.dialImageWarning());
}

TEST(HeicDial, APathNamingAPipeOrAFolderGivesNoImageWithoutWaiting) {
    // The settings file may name anything; a FIFO would block the loading
    // thread, and with it the program's exit, for good.
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("dial.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(AppModel::decodeDialImage(fifo, 512).isNull());
    EXPECT_TRUE(AppModel::decodeDialImage(dir.path(), 512).isNull());
}
