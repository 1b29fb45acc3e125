#include <gtest/gtest.h>

#include "services/SystemSounds.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace corvane;

namespace {

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

class SoundFolders : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        for (const char* name : {"system", "local", "user"}) {
            ASSERT_TRUE(QDir(root.path()).mkdir(QString::fromLatin1(name)));
            folders.append(root.filePath(QString::fromLatin1(name)));
        }
    }
    QString in(int folder, const char* name) const { return folders[folder] + QLatin1Char('/') + QString::fromUtf8(name); }

    QTemporaryDir root;
    QStringList folders;
    icu::Locale german{"de", "DE"};
};

}  // namespace

TEST_F(SoundFolders, RanksAlarmAndRingFirstThenCollatesIgnoringCase) {
    touch(in(0, "Basso.aiff"));
    touch(in(0, "ringer.caf"));
    touch(in(0, "Alarm Clock.aiff"));
    touch(in(0, "Öl.wav"));
    touch(in(0, "zebra.OGG"));
    touch(in(1, "basso.aiff"));
    touch(in(1, "Ping.aiff"));
    touch(in(2, "Basso.aiff"));  // the same name twice counts once
    touch(in(2, "RING2.flac"));
    touch(in(2, "bell.opus"));

    const QStringList expected{
        QStringLiteral("Alarm Clock.aiff"), QStringLiteral("RING2.flac"), QStringLiteral("ringer.caf"),
        QStringLiteral("Basso.aiff"),       QStringLiteral("basso.aiff"), QStringLiteral("bell.opus"),
        QStringLiteral("Öl.wav"),           QStringLiteral("Ping.aiff"),  QStringLiteral("zebra.OGG"),
    };
    EXPECT_EQ(listSoundFolders(folders, german), expected);
}

TEST_F(SoundFolders, OnlyRegularFilesWithASoundExtensionCount) {
    touch(in(0, "notes.txt"));
    touch(in(0, "noextension"));
    touch(in(0, "Glass.aiff"));
    ASSERT_TRUE(QDir(folders[0]).mkdir(QStringLiteral("folder.wav")));
    ASSERT_TRUE(QFile::link(in(0, "missing.wav"), in(1, "dangling.wav")));
    ASSERT_TRUE(QFile::link(in(0, "Glass.aiff"), in(1, "Linked.aiff")));
    QStringList withMissing = folders;
    withMissing.prepend(root.filePath(QStringLiteral("nope")));

    EXPECT_EQ(listSoundFolders(withMissing, german),
              (QStringList{QStringLiteral("Glass.aiff"), QStringLiteral("Linked.aiff")}));
}

TEST_F(SoundFolders, FindingANameTakesTheFirstFolderAndOnlyPlainNames) {
    touch(in(1, "Glass.aiff"));
    touch(in(2, "Glass.aiff"));
    touch(in(2, "Own.mp3"));
    touch(root.filePath(QStringLiteral("x.aiff")));
    ASSERT_TRUE(QDir(folders[0]).mkdir(QStringLiteral("Dir.aiff")));

    EXPECT_EQ(findSoundIn(folders, QStringLiteral("Glass.aiff")), in(1, "Glass.aiff"));
    EXPECT_EQ(findSoundIn(folders, QStringLiteral("Own.mp3")), in(2, "Own.mp3"));
    for (const char* name : {"", ".", "..", "../x.aiff", "Dir.aiff", "glass.aiff", "Missing.aiff"}) {
        EXPECT_EQ(findSoundIn(folders, QString::fromUtf8(name)), std::nullopt) << name;
    }
}

TEST(SystemSoundFolders, SearchTheThemeTheSharedAndTheUserFolder) {
    const QStringList& f = systemSoundFolders();
    ASSERT_EQ(f.size(), 3);
    EXPECT_EQ(f[0], QStringLiteral("/usr/share/sounds/freedesktop/stereo"));
    EXPECT_EQ(f[1], QStringLiteral("/usr/share/sounds"));
    EXPECT_TRUE(f[2].endsWith(QStringLiteral("/sounds")));
    EXPECT_TRUE(hasSoundExtension(QStringLiteral("a.OPUS")));
    EXPECT_FALSE(hasSoundExtension(QStringLiteral("a.txt")));
    EXPECT_FALSE(hasSoundExtension(QStringLiteral("wav")));
    // Cached: the same list object every time.
    EXPECT_EQ(&systemSounds(), &systemSounds());
}
