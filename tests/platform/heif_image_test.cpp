#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "platform/system/HeifImage.h"

using namespace corvane;

namespace {

// 64 x 48, left half red, right half blue, stored to be turned 90 degrees
// clockwise: upright it is 48 x 64 with red on top (tools/heic-fixture).
QString rotatedFixture() { return QStringLiteral(CORVANE_TEST_DATA "/platform/fixtures/rotated.heic"); }

bool reddish(QRgb c) { return qRed(c) > 150 && qBlue(c) < 100; }
bool bluish(QRgb c) { return qBlue(c) > 150 && qRed(c) < 100; }

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QByteArray fixtureBytes() {
    QFile f(rotatedFixture());
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

}  // namespace

TEST(HeifImage, ReadsThePhotoUprightWhateverItsName) {
    QTemporaryDir dir;
    // Phones also hand HEIF photos out under ".jpg".
    const QString misnamed = writeFile(dir, "photo.jpg", fixtureBytes());
    for (const QString& path : {rotatedFixture(), misnamed}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(looksLikeHeif(path));
        const QImage image = readHeifImage(path);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(48, 64)) << "the stored rotation was not applied";
        EXPECT_TRUE(reddish(image.pixel(24, 8)));
        EXPECT_TRUE(bluish(image.pixel(24, 56)));
    }
}

TEST(HeifImage, ScalesDownToTheLongestSideButNeverUp) {
    EXPECT_EQ(readHeifImage(rotatedFixture(), 32).size(), QSize(24, 32));
    EXPECT_EQ(readHeifImage(rotatedFixture(), 4000).size(), QSize(48, 64));
}

TEST(HeifImage, BrokenOrForeignFilesGiveNoImage) {
    QTemporaryDir dir;
    const QByteArray bytes = fixtureBytes();
    QImage png(8, 8, QImage::Format_RGB32);
    png.fill(Qt::green);
    const QString pngPath = dir.filePath(QStringLiteral("plain.png"));
    ASSERT_TRUE(png.save(pngPath));
    const QString fifo = dir.filePath(QStringLiteral("pipe.heic"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    struct Case {
        const char* what;
        QString path;
        bool heifLike;
    } cases[] = {
        {"cut after the header", writeFile(dir, "head.heic", bytes.left(40)), true},
        {"cut in the middle", writeFile(dir, "half.heic", bytes.left(bytes.size() / 2)), true},
        {"image data overwritten", writeFile(dir, "noise.heic", bytes.left(200) + QByteArray(bytes.size() - 200, 'x')),
         true},
        {"empty", writeFile(dir, "empty.heic", {}), false},
        {"a PNG", pngPath, false},
        {"missing", dir.filePath(QStringLiteral("gone.heic")), false},
        {"a folder", dir.path(), false},
        {"a FIFO (must not block)", fifo, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(looksLikeHeif(c.path), c.heifLike);
        EXPECT_TRUE(readHeifImage(c.path).isNull());
    }
}
