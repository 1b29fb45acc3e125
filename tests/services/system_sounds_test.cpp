#include <gtest/gtest.h>

#include "platform/DefaultSounds.h"
#include "services/SystemSounds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// Every system sound another system ships has a counterpart here, each once.
TEST(SoundCounterparts, CoverEveryOtherSystemSoundOnce) {
    QStringList originals;
    for (const SoundCounterpart& c : soundCounterparts()) {
        originals << QString::fromLatin1(c.original);
        EXPECT_TRUE(QString::fromLatin1(c.here).endsWith(QLatin1String(".oga"))) << c.here;
    }
    originals.sort();
    EXPECT_EQ(originals, (QStringList{"Basso.aiff", "Blow.aiff", "Bottle.aiff", "Frog.aiff", "Funk.aiff", "Glass.aiff",
                                      "Hero.aiff", "Morse.aiff", "Ping.aiff", "Pop.aiff", "Purr.aiff", "Sosumi.aiff",
                                      "Submarine.aiff", "Tink.aiff"}));
}

// Another system's sound names read as the freedesktop theme's, unless this
// computer really has a file of that name.
TEST_F(SoundFolders, OtherSystemsSoundsReadAsTheirCounterpartsHere) {
    touch(in(2, "Ping.aiff"));  // the user copied one over
    const struct {
        const char* stored;
        const char* read;
    } cases[] = {
        // The defaults' pairs, which stored files rely on.
        {"Glass.aiff", "alarm-clock-elapsed.oga"},
        {"Purr.aiff", "message.oga"},
        {"Submarine.aiff", "phone-incoming-call.oga"},
        {"Hero.aiff", "complete.oga"},
        // Sounds a user picked there.
        {"Tink.aiff", "audio-volume-change.oga"},
        {"Basso.aiff", "dialog-error.oga"},
        {"Sosumi.aiff", "dialog-information.oga"},
        {"Ping.aiff", "Ping.aiff"},          // there: stays
        {"glass.aiff", "glass.aiff"},        // not in the table: stays, and warns
        {"Tink.aif", "Tink.aif"},
        {"Nirgends.aiff", "Nirgends.aiff"},
        {"bell.oga", "bell.oga"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(systemSoundNameHere(QString::fromUtf8(c.stored), folders), QString::fromUtf8(c.read)) << c.stored;

    AppSettings s;
    s.alarms[0].sound = SoundSettings{SoundSource::customFile, QStringLiteral("Glass.aiff"), QStringLiteral("/m/eigen.mp3"), 35, false};
    s.alarms[1].sound.systemSoundName = QStringLiteral("Ping.aiff");
    s.alarms[2].sound.systemSoundName = QStringLiteral("Frog.aiff");
    s.countdowns[1].sound.systemSoundName = QStringLiteral("Hero.aiff");
    AppSettings expected = s;
    expected.alarms[0].sound.systemSoundName = QStringLiteral("alarm-clock-elapsed.oga");
    expected.alarms[2].sound.systemSoundName = QStringLiteral("dialog-warning.oga");
    expected.countdowns[1].sound.systemSoundName = QStringLiteral("complete.oga");
    useSoundsOfThisComputer(s, folders);
    EXPECT_EQ(s, expected);  // the names alone; source, file, volume and loop as they were
}

// On a machine with the freedesktop sound theme no default sound and no
// counterpart is missing.
TEST(SystemSoundFolders, FreshDefaultsExistWithTheSoundTheme) {
    if (!QFileInfo(systemSoundFolders()[0]).isDir())
        GTEST_SKIP() << systemSoundFolders()[0].toStdString() << " is absent (package sound-theme-freedesktop)";
    const AppSettings s = AppSettings::defaults();
    for (const AlarmSettings& a : s.alarms)
        EXPECT_TRUE(findSystemSound(a.sound.systemSoundName)) << a.sound.systemSoundName.toStdString();
    for (const CountdownSettings& c : s.countdowns)
        EXPECT_TRUE(findSystemSound(c.sound.systemSoundName)) << c.sound.systemSoundName.toStdString();
    for (const SoundCounterpart& c : soundCounterparts())
        EXPECT_TRUE(systemSounds().contains(QString::fromLatin1(c.here))) << c.here;
}
