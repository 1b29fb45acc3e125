#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextBoundaryFinder>
#include <QThread>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

#include "HostileFiles.h"
#include "model/SettingsCodec.h"
#include "model/SettingsService.h"
#include "platform/AtomicFile.h"

using namespace corvane;

namespace {

class SettingsServiceTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    AppPaths paths = AppPaths::under(root.path());

    QString dataPath(const QString& name) const { return paths.dataFolder + u'/' + name; }

    void writeFile(const QString& path, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static AppSettings settingsNamed(const QString& name) {
        AppSettings s = AppSettings::defaults();
        s.userName = name;
        return s;
    }

    static QString userNameIn(const QByteArray& bytes) {
        const auto decoded = decodeSettings(bytes);
        return decoded ? decoded->settings.userName : QStringLiteral("<nicht lesbar>");
    }
};

const QString kLoadMessageStart = QStringLiteral("Die Einstellungen konnten nicht geladen werden (");
const QString kSaveMessageStart = QStringLiteral("Einstellungen konnten nicht gespeichert werden: ");

ino_t inodeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// Spins the main thread's event loop until `done` holds or time runs out.
template <typename Predicate>
bool spinUntil(Predicate done, int timeoutMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

// Defaults carry a fresh clock identifier each time; compare the rest.
bool isDefaults(const AppSettings& settings) {
    AppSettings expected = AppSettings::defaults();
    if (expected.clocks.size() != settings.clocks.size()) return false;
    for (size_t i = 0; i < expected.clocks.size(); ++i) expected.clocks[i].id = settings.clocks[i].id;
    return expected == settings;
}

int graphemeCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() > 0) ++count;
    return count;
}

}  // namespace

TEST_F(SettingsServiceTest, MissingFolderGivesDefaultsAndFirstSaveCreatesIt) {
    SettingsService service(paths);
    const SettingsLoadResult loaded = service.load();
    EXPECT_TRUE(isDefaults(loaded.settings));
    EXPECT_FALSE(loaded.failed);
    EXPECT_TRUE(loaded.allowsMediaCleanup());
    EXPECT_FALSE(service.lastError());
    EXPECT_FALSE(QFileInfo::exists(paths.dataFolder));

    ASSERT_TRUE(service.save(settingsNamed(QStringLiteral("Anna"))));
    EXPECT_FALSE(service.lastError());
    SettingsService again(paths);
    EXPECT_EQ(again.load().settings.userName, QStringLiteral("Anna"));
}

TEST_F(SettingsServiceTest, GoodFileReportsWhetherAPresentKeyWasUnreadable) {
    struct Case {
        const char* json;
        const char* userName;
        bool dropped;
    };
    const Case cases[] = {
        {R"({"UserName": "Anna"})", "Anna", false},
        {R"({"UserName": 5, "ShowGreeting": true})", "", true},
    };
    for (const Case& c : cases) {
        writeFile(dataPath(QStringLiteral("settings.json")), c.json);
        SettingsService service(paths);
        const SettingsLoadResult loaded = service.load();
        EXPECT_FALSE(loaded.failed) << c.json;
        EXPECT_EQ(loaded.settings.userName, QString::fromUtf8(c.userName)) << c.json;
        EXPECT_EQ(loaded.droppedUnreadableKey, c.dropped) << c.json;
        EXPECT_EQ(loaded.allowsMediaCleanup(), !c.dropped) << c.json;
        EXPECT_FALSE(service.lastError()) << c.json;
        EXPECT_FALSE(QFileInfo::exists(service.backupFilePath())) << c.json;
    }
}

TEST_F(SettingsServiceTest, DamagedFileIsSetAsideAndTheNewestDamageReplacesTheBackup) {
    const QString file = dataPath(QStringLiteral("settings.json"));
    for (const QByteArray& damage : {QByteArray("das ist kein JSON"), QByteArray("{\"UserName\": ")}) {
        writeFile(file, damage);
        const ino_t damaged = inodeOf(file);
        SettingsService service(paths);
        const SettingsLoadResult loaded = service.load();
        EXPECT_TRUE(loaded.failed);
        EXPECT_FALSE(loaded.allowsMediaCleanup());
        EXPECT_TRUE(isDefaults(loaded.settings));
        ASSERT_TRUE(service.lastError());
        EXPECT_TRUE(service.lastError()->startsWith(kLoadMessageStart)) << service.lastError()->toStdString();
        EXPECT_TRUE(service.lastError()->endsWith(QStringLiteral("). Es werden Standardwerte verwendet.")));
        // Renamed aside, not copied: the very file, every byte, no second copy.
        EXPECT_EQ(readFile(service.backupFilePath()), damage);
        EXPECT_EQ(inodeOf(service.backupFilePath()), damaged);
        EXPECT_FALSE(QFileInfo::exists(file));
    }
    SettingsService service(paths);
    service.load();
    EXPECT_TRUE(service.save(settingsNamed(QStringLiteral("Neu"))));
    EXPECT_FALSE(service.lastError());
    EXPECT_EQ(userNameIn(readFile(file)), QStringLiteral("Neu"));
    EXPECT_EQ(QDir(paths.dataFolder).entryList(QDir::Files | QDir::Hidden).size(), 2);  // file and backup
}

TEST_F(SettingsServiceTest, UnreadableOrHugeFilesFallBackToDefaults) {
    const QString file = dataPath(QStringLiteral("settings.json"));
    // Valid JSON padded past the cap: the size alone makes it damaged.
    QByteArray huge = R"({"UserName": "Anna"})";
    huge.append(kMaxSettingsFileBytes, ' ');
    writeFile(file, huge);
    {
        SettingsService service(paths);
        const SettingsLoadResult loaded = service.load();
        EXPECT_TRUE(loaded.failed);
        EXPECT_TRUE(isDefaults(loaded.settings));
        ASSERT_TRUE(service.lastError());
        EXPECT_TRUE(service.lastError()->startsWith(kLoadMessageStart));
        EXPECT_EQ(QFileInfo(service.backupFilePath()).size(), huge.size());
    }
    for (const QByteArray& bytes : {QByteArray(), QByteArray("[1, 2, 3]"), QByteArray(100000, '[')}) {
        writeFile(file, bytes);
        SettingsService service(paths);
        EXPECT_TRUE(service.load().failed) << bytes.left(20).toStdString();
        EXPECT_TRUE(service.lastError()) << bytes.left(20).toStdString();
    }
    // A folder where the file should be: nothing to read, and nothing to
    // copy aside either.
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file));
    SettingsService service(paths);
    EXPECT_TRUE(service.load().failed);
    ASSERT_TRUE(service.lastError());
    EXPECT_TRUE(service.lastError()->startsWith(kLoadMessageStart));
}

TEST_F(SettingsServiceTest, DamagedFileThatCannotBeBackedUpIsNeverReplaced) {
    const QString file = dataPath(QStringLiteral("settings.json"));
    const QByteArray damage = "{ beschädigt";
    writeFile(file, damage);
    // A folder in the way of the backup; running as root, permissions would
    // not stop the copy.
    writeFile(dataPath(QStringLiteral("settings.json.defekt.bak/alt.txt")), "alt");

    SettingsService service(paths);
    EXPECT_TRUE(service.load().failed);
    ASSERT_TRUE(service.lastError());
    EXPECT_TRUE(service.lastError()->startsWith(kLoadMessageStart));
    EXPECT_TRUE(service.lastError()->contains(QStringLiteral("nicht gesichert")))
        << service.lastError()->toStdString();

    EXPECT_FALSE(service.save(settingsNamed(QStringLiteral("Anna"))));
    ASSERT_TRUE(service.lastError());
    EXPECT_TRUE(service.lastError()->startsWith(kSaveMessageStart));

    bool done = false;
    bool okReported = true;
    std::optional<QString> message;
    service.writeAndNotify(SettingsService::encode(settingsNamed(QStringLiteral("Berta"))),
                           [&](bool ok, const std::optional<QString>& m) {
                               done = true;
                               okReported = ok;
                               message = m;
                           });
    ASSERT_TRUE(spinUntil([&] { return done; }));
    EXPECT_FALSE(okReported);
    ASSERT_TRUE(message);
    EXPECT_TRUE(message->startsWith(kSaveMessageStart));
    EXPECT_EQ(readFile(file), damage);
    EXPECT_EQ(readFile(dataPath(QStringLiteral("settings.json.defekt.bak/alt.txt"))), "alt");
}

TEST_F(SettingsServiceTest, WriteReplacesTheFileAtomicallyOrReportsWhy) {
    const QString file = dataPath(QStringLiteral("settings.json"));
    writeFile(file, SettingsService::encode(settingsNamed(QStringLiteral("Alt"))));
    // A user who made the file private keeps it private.
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0600), 0);
    const ino_t before = inodeOf(file);
    SettingsService service(paths);
    ASSERT_TRUE(service.save(settingsNamed(QStringLiteral("Neu"))));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // A new inode: the new content was renamed over the old file, never
    // written into it, so a crash midway leaves either version whole.
    EXPECT_NE(inodeOf(file), before);
    EXPECT_EQ(userNameIn(readFile(file)), QStringLiteral("Neu"));
    EXPECT_EQ(QDir(paths.dataFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("settings.json")});

    // A file where the data folder should be: the folder cannot be made.
    QTemporaryDir other;
    const QString blocked = other.path() + QStringLiteral("/blockiert");
    writeFile(blocked, "x");
    SettingsService failing(AppPaths{blocked + QStringLiteral("/Corvane"), other.path()});
    EXPECT_FALSE(failing.save(AppSettings::defaults()));
    ASSERT_TRUE(failing.lastError());
    EXPECT_TRUE(failing.lastError()->startsWith(kSaveMessageStart));
    // The next success clears the message.
    EXPECT_TRUE(service.save(AppSettings::defaults()));
    EXPECT_FALSE(service.lastError());
}

TEST_F(SettingsServiceTest, QueuedWritesRunInOrderAndReportOnTheMainThread) {
    SettingsService service(paths);
    constexpr int kWrites = 20;
    std::vector<int> order;
    bool allOnMainThread = true;
    for (int i = 0; i < kWrites; ++i) {
        service.writeAndNotify(SettingsService::encode(settingsNamed(QString::number(i))),
                               [&, i](bool ok, const std::optional<QString>& message) {
                                   EXPECT_TRUE(ok);
                                   EXPECT_FALSE(message);
                                   allOnMainThread &= QThread::currentThread() == qApp->thread();
                                   order.push_back(i);
                               });
    }
    // The shutdown save comes after everything queued before it, so the file
    // ends with its value and not with a late queued one.
    ASSERT_TRUE(service.save(settingsNamed(QStringLiteral("Ende"))));
    EXPECT_EQ(userNameIn(readFile(dataPath(QStringLiteral("settings.json")))), QStringLiteral("Ende"));

    // Completions are queued to the main thread, which has not spun yet.
    EXPECT_TRUE(order.empty());
    ASSERT_TRUE(spinUntil([&] { return order.size() == size_t(kWrites); }));
    for (int i = 0; i < kWrites; ++i) EXPECT_EQ(order[i], i);
    EXPECT_TRUE(allOnMainThread);
}

TEST_F(SettingsServiceTest, DestroyingTheServiceStillRunsQueuedWrites) {
    bool called = false;
    {
        SettingsService service(paths);
        service.writeAndNotify(SettingsService::encode(settingsNamed(QStringLiteral("Zuletzt"))),
                               [&](bool, const std::optional<QString>&) { called = true; });
    }
    EXPECT_EQ(userNameIn(readFile(dataPath(QStringLiteral("settings.json")))), QStringLiteral("Zuletzt"));
    // The completion belonged to the service and went with it.
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
}

TEST(ImportedFileNameTest, BuildsNamesFromWholeCharacters) {
    const QString family = QStringLiteral("👨‍👩‍👧‍👦");  // one character, eleven UTF-16 units
    struct Case {
        QString picked;
        QString expected;  // empty: check only the cut
    };
    const Case cases[] = {
        {QStringLiteral("Mein Wecker.MP3"), QStringLiteral("ton-Mein Wecker-ABC123.mp3")},
        {QStringLiteral("klang"), QStringLiteral("ton-klang-ABC123.dat")},
        {QStringLiteral("alt.tar.WAV"), QStringLiteral("ton-alt.tar-ABC123.wav")},
        {QStringLiteral(".versteckt"), QStringLiteral("ton-.versteckt-ABC123.dat")},
        {QStringLiteral("a/b.ogg"), QStringLiteral("ton-a-b-ABC123.ogg")},
        {QString(100, u'x') + QStringLiteral(".wav"),
         QStringLiteral("ton-") + QString(60, u'x') + QStringLiteral("-ABC123.wav")},
        {QStringLiteral("e\u0301").repeated(70) + QStringLiteral(".wav"),
         QStringLiteral("ton-") + QStringLiteral("e\u0301").repeated(60) + QStringLiteral("-ABC123.wav")},
    };
    for (const Case& c : cases) {
        const QString name = SettingsService::importedFileName(c.picked, u"ton", u"ABC123");
        if (!c.expected.isEmpty()) {
            EXPECT_EQ(name, c.expected) << c.picked.toStdString();
        }
        EXPECT_TRUE(name.isValidUtf16()) << c.picked.toStdString();
        EXPECT_LE(name.toUtf8().size(), 255) << c.picked.toStdString();
        EXPECT_TRUE(name.startsWith(QStringLiteral("ton-"))) << c.picked.toStdString();
        EXPECT_TRUE(name.contains(QStringLiteral("-ABC123."))) << c.picked.toStdString();
    }
    // Longer characters: the cut keeps them whole, and stops early when the
    // name would not fit the file system's 255 bytes.
    const QString tail = QStringLiteral("-ABC123.wav");
    for (const QString& character : {QStringLiteral("🎵"), QStringLiteral("👍🏽"), family}) {
        const QString name =
            SettingsService::importedFileName(character.repeated(61) + ".wav", u"ton", u"ABC123");
        ASSERT_TRUE(name.endsWith(tail));
        const QString base = name.mid(4, name.size() - 4 - tail.size());
        const int count = graphemeCount(base);
        EXPECT_EQ(base, character.repeated(count)) << character.toStdString();
        EXPECT_LE(name.toUtf8().size(), 255) << character.toStdString();
        EXPECT_GT(name.toUtf8().size() + character.toUtf8().size(), 255) << character.toStdString();
        if (character == QStringLiteral("🎵")) {
            EXPECT_EQ(count, 60);  // 240 bytes: exactly what is left
        }
    }
}

TEST_F(SettingsServiceTest, ImportCopiesIntoTheMediaFolderOrSaysWhyNot) {
    const QString picked = root.path() + QStringLiteral("/Auswahl/Mein Wecker.MP3");
    writeFile(picked, "RIFF....");
    SettingsService service(paths);
    const auto imported = service.importSoundFile(picked, u"ton");
    ASSERT_TRUE(imported);
    const QFileInfo info(*imported);
    EXPECT_EQ(info.absolutePath(), service.mediaDirectory());
    EXPECT_TRUE(info.fileName().startsWith(QStringLiteral("ton-Mein Wecker-")));
    EXPECT_TRUE(info.fileName().endsWith(QStringLiteral(".mp3")));
    EXPECT_EQ(readFile(*imported), "RIFF....");
    EXPECT_FALSE(service.lastError());

    for (const QString& bad :
         {root.path() + QStringLiteral("/fehlt.wav"), root.path() + QStringLiteral("/Auswahl")}) {
        EXPECT_FALSE(service.importSoundFile(bad, u"zifferblatt")) << bad.toStdString();
        ASSERT_TRUE(service.lastError());
        EXPECT_TRUE(
            service.lastError()->startsWith(QStringLiteral("Datei konnte nicht übernommen werden: ")));
    }
}

TEST_F(SettingsServiceTest, CleanupDeletesOnlyUnreferencedRegularFiles) {
    SettingsService service(paths);
    const QString media = service.mediaDirectory();
    const QString outside = root.path() + QStringLiteral("/woanders.wav");
    writeFile(outside, "fremd");
    for (const char* name :
         {"ton-behalten.wav", "ton-alt.wav", "Ton-Behalten.WAV", ".versteckt", "Ordner/drin.wav"}) {
        writeFile(media + u'/' + QString::fromUtf8(name), "x");
    }
    ASSERT_TRUE(QFile::link(outside, media + QStringLiteral("/verweis.wav")));
    ASSERT_TRUE(
        QFile::link(media + QStringLiteral("/ton-alt.wav"), media + QStringLiteral("/verweis-innen.wav")));

    // A referenced path elsewhere still protects the media file of that name.
    service.cleanupMedia({QStringLiteral("/irgendwo/ton-behalten.wav"), QString()});
    service.waitUntilIdle();

    QStringList left =
        QDir(media).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    left.sort();
    EXPECT_EQ(left, (QStringList{QStringLiteral("Ordner"), QStringLiteral("ton-behalten.wav"),
                                 QStringLiteral("verweis-innen.wav"), QStringLiteral("verweis.wav")}));
    EXPECT_TRUE(QFileInfo::exists(media + QStringLiteral("/Ordner/drin.wav")));
    EXPECT_EQ(readFile(outside), "fremd");

    // No media folder: nothing to do, nothing reported.
    QDir(media).removeRecursively();
    service.cleanupMedia({});
    service.waitUntilIdle();
    EXPECT_FALSE(service.lastError());
}

TEST_F(SettingsServiceTest, AnImportRightAfterACleanupSurvivesWhileWritesAreQueued) {
    SettingsService service(paths);
    const QString media = service.mediaDirectory();
    writeFile(media + QStringLiteral("/ton-alt.wav"), "x");
    const QString picked = root.path() + QStringLiteral("/Gong.wav");
    writeFile(picked, "RIFF");

    // Writes waiting on the queue, as after a burst of changes at start-up.
    for (int i = 0; i < 20; ++i)
        service.writeAndNotify(SettingsService::encode(settingsNamed(QString::number(i))), [](bool, auto) {});
    service.cleanupMedia({});
    const std::optional<QString> imported = service.importSoundFile(picked, u"ton");
    service.waitUntilIdle();

    ASSERT_TRUE(imported);
    EXPECT_TRUE(QFileInfo::exists(*imported));
    EXPECT_FALSE(QFileInfo::exists(media + QStringLiteral("/ton-alt.wav")));
}

// ---------------------------------------------------------------------------
// Full disks, odd files and links

namespace {

using corvane::test::Oddity;

const QString kNoSpace = QStringLiteral("Einstellungen konnten nicht gespeichert werden: Kein Speicherplatz mehr frei");

}  // namespace

TEST_F(SettingsServiceTest, AFailingStepKeepsTheOldFileAndNamesTheCause) {
    struct Case {
        WriteStage stage;
        int error;
        const char* message;
    };
    const Case cases[] = {
        {WriteStage::create, ENOSPC, "Kein Speicherplatz mehr frei"},
        {WriteStage::write, ENOSPC, "Kein Speicherplatz mehr frei"},
        {WriteStage::write, EDQUOT, "Kein Speicherplatz mehr frei"},
        {WriteStage::sync, EIO, "Ein-/Ausgabefehler des Laufwerks"},
        {WriteStage::close, ENOSPC, "Kein Speicherplatz mehr frei"},
        {WriteStage::rename, EROFS, "Das Laufwerk ist schreibgeschützt"},
        {WriteStage::create, EACCES, "Keine Zugriffsberechtigung"},
    };
    const QString file = dataPath(QStringLiteral("settings.json"));
    const QByteArray old = SettingsService::encode(settingsNamed(QStringLiteral("Alt")));
    writeFile(file, old);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.message) + " at stage " + std::to_string(int(c.stage)));
        SettingsService service(paths);
        ASSERT_FALSE(service.load().failed);
        {
            corvane::testing::ScopedWriteFault fault(c.stage, c.error);
            EXPECT_FALSE(service.save(settingsNamed(QStringLiteral("Neu"))));
            ASSERT_TRUE(service.lastError());
            EXPECT_EQ(*service.lastError(), kSaveMessageStart + QString::fromUtf8(c.message));

            // The queued path reports the same to the model.
            std::optional<bool> reported;
            std::optional<QString> message;
            service.writeAndNotify(SettingsService::encode(settingsNamed(QStringLiteral("Neu"))),
                                   [&](bool ok, const std::optional<QString>& m) {
                                       reported = ok;
                                       message = m;
                                   });
            ASSERT_TRUE(spinUntil([&] { return reported.has_value(); }));
            EXPECT_FALSE(*reported);
            EXPECT_EQ(message, service.lastError());
        }
        EXPECT_EQ(readFile(file), old);
        EXPECT_EQ(corvane::test::entriesOf(paths.dataFolder), QStringList{QStringLiteral("settings.json")});
        // Room again: the next save goes through and the message goes away.
        EXPECT_TRUE(service.save(settingsNamed(QStringLiteral("Neu"))));
        EXPECT_FALSE(service.lastError());
        EXPECT_EQ(userNameIn(readFile(file)), QStringLiteral("Neu"));
        writeFile(file, old);
    }
}

TEST_F(SettingsServiceTest, AFullFileSystemKeepsTheOldFile) {
    corvane::test::FullDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "no permission to mount a tmpfs";
    const AppPaths onDisk = AppPaths::under(disk.path());
    SettingsService service(onDisk);
    service.load();
    ASSERT_TRUE(service.save(settingsNamed(QStringLiteral("Alt"))));
    const QByteArray old = readFile(service.settingsFilePath());

    disk.fill();
    AppSettings big = settingsNamed(QString(20000, u'x'));
    EXPECT_FALSE(service.save(big));
    ASSERT_TRUE(service.lastError());
    EXPECT_EQ(*service.lastError(), kNoSpace);
    EXPECT_EQ(readFile(service.settingsFilePath()), old);
    EXPECT_EQ(corvane::test::entriesOf(onDisk.dataFolder), QStringList{QStringLiteral("settings.json")});

    // The next start still finds the user's settings.
    SettingsService restarted(onDisk);
    EXPECT_EQ(restarted.load().settings.userName, QStringLiteral("Alt"));

    disk.makeRoom();
    EXPECT_TRUE(restarted.save(big));
    EXPECT_FALSE(restarted.lastError());
    EXPECT_EQ(SettingsService(onDisk).load().settings.userName.size(), 20000);
}

// Nothing that is not a regular file is ever opened: start-up does not hang
// on a pipe, nothing is written through a link, and what stood there is kept
// as the backup, exactly as it was.
TEST_F(SettingsServiceTest, OddThingsInTheFilesPlaceAreSetAsideUnopened) {
    for (const Oddity what : corvane::test::kOddities) {
        SCOPED_TRACE(corvane::test::oddityName(what));
        QTemporaryDir scratch;
        const AppPaths here = AppPaths::under(scratch.path());
        const QString elsewhere = scratch.path() + QStringLiteral("/anderswo");
        QDir().mkpath(here.dataFolder);
        const QString file = here.dataFolder + QStringLiteral("/settings.json");
        ASSERT_TRUE(corvane::test::makeOddity(what, file, elsewhere));
        const mode_t type = corvane::test::entryType(file);

        SettingsService service(here);
        SettingsLoadResult loaded;
        ASSERT_TRUE(corvane::test::endsWithin(std::chrono::seconds(5), [&] { loaded = service.load(); }))
            << "start-up hangs";
        EXPECT_TRUE(loaded.failed);
        ASSERT_TRUE(service.lastError());
        EXPECT_TRUE(service.lastError()->startsWith(kLoadMessageStart)) << service.lastError()->toStdString();
        EXPECT_FALSE(service.lastError()->contains(QStringLiteral("nicht gesichert")));
        EXPECT_EQ(corvane::test::entryType(service.backupFilePath()), type);
        EXPECT_FALSE(QFileInfo::exists(file) || QFileInfo(file).isSymLink());

        ASSERT_TRUE(corvane::test::endsWithin(std::chrono::seconds(5), [&] {
            EXPECT_TRUE(service.save(settingsNamed(QStringLiteral("Neu"))));
        }));
        EXPECT_EQ(corvane::test::entryType(file), mode_t(S_IFREG));
        EXPECT_EQ(userNameIn(readFile(file)), QStringLiteral("Neu"));
        corvane::test::expectForeignUntouched(what, elsewhere);
    }
}

TEST_F(SettingsServiceTest, AFolderInTheFilesPlaceGetsNoWriteAndAClearMessage) {
    const QString file = dataPath(QStringLiteral("settings.json"));
    writeFile(file + QStringLiteral("/eigenes.txt"), "meins");
    SettingsService service(paths);
    EXPECT_TRUE(service.load().failed);
    EXPECT_FALSE(service.save(settingsNamed(QStringLiteral("Neu"))));
    ASSERT_TRUE(service.lastError());
    EXPECT_EQ(*service.lastError(), kSaveMessageStart + QStringLiteral("An der Stelle der Datei liegt ein Ordner"));
    EXPECT_EQ(readFile(file + QStringLiteral("/eigenes.txt")), "meins");
    EXPECT_EQ(corvane::test::entriesOf(paths.dataFolder), QStringList{QStringLiteral("settings.json")});
}

// A user who keeps the settings elsewhere and links them in: the link is
// followed, the file it leads to replaced beside itself, the link kept.
TEST_F(SettingsServiceTest, ALinkToAValidFileIsFollowedAndItsTargetReplaced) {
    const QString elsewhere = root.path() + QStringLiteral("/Dotfiles");
    const QString target = elsewhere + QStringLiteral("/corvane.json");
    writeFile(target, SettingsService::encode(settingsNamed(QStringLiteral("Anna"))));
    QDir().mkpath(paths.dataFolder);
    const QString file = dataPath(QStringLiteral("settings.json"));
    ASSERT_TRUE(QFile::link(QStringLiteral("../Dotfiles/corvane.json"), file) ||
                QFile::link(target, file));

    SettingsService service(paths);
    const SettingsLoadResult loaded = service.load();
    EXPECT_FALSE(loaded.failed);
    EXPECT_EQ(loaded.settings.userName, QStringLiteral("Anna"));
    const ino_t before = inodeOf(target);
    ASSERT_TRUE(service.save(settingsNamed(QStringLiteral("Berta"))));
    EXPECT_TRUE(QFileInfo(file).isSymLink());
    EXPECT_NE(inodeOf(target), before);  // replaced, not written into
    EXPECT_EQ(userNameIn(readFile(target)), QStringLiteral("Berta"));
    EXPECT_EQ(corvane::test::entriesOf(elsewhere), QStringList{QStringLiteral("corvane.json")});

    // Should the target turn into something else while running, the link is
    // not written through.
    QFile::remove(target);
    ASSERT_EQ(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    bool saved = true;
    ASSERT_TRUE(corvane::test::endsWithin(std::chrono::seconds(5),
                                          [&] { saved = service.save(settingsNamed(QStringLiteral("C"))); }));
    EXPECT_FALSE(saved);
    ASSERT_TRUE(service.lastError());
    EXPECT_TRUE(service.lastError()->startsWith(kSaveMessageStart));
    EXPECT_EQ(corvane::test::entryType(target), mode_t(S_IFIFO));
}

// A link is followed only to a file that reads as our settings. Any other
// JSON decodes as well (a foreign object as the defaults), so without that
// check the first save would replace, say, a project's package.json.
TEST_F(SettingsServiceTest, ALinkIsFollowedOnlyToAFileOfOurs) {
    struct Case {
        const char* what;
        QByteArray target;
        bool ours;
    };
    const Case cases[] = {
        {"foreign object", R"({"name": "mein-projekt", "version": "1.0.0", "private": true})", false},
        {"array", "[1, 2, 3]\n", false},
        {"text", "meine Notizen\n", false},
        {"settings with one key", R"({"UserName": "Anna"})", true},
        {"empty object", "{}", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir scratch;
        const AppPaths here = AppPaths::under(scratch.path());
        const QString target = scratch.path() + QStringLiteral("/Projekt/package.json");
        writeFile(target, c.target);
        QDir().mkpath(here.dataFolder);
        const QString file = here.dataFolder + QStringLiteral("/settings.json");
        ASSERT_TRUE(QFile::link(target, file));

        SettingsService service(here);
        const SettingsLoadResult loaded = service.load();
        EXPECT_EQ(loaded.failed, !c.ours);
        EXPECT_EQ(service.lastError().has_value(), !c.ours);
        if (c.ours) {
            EXPECT_EQ(loaded.settings.userName,
                      c.target.contains("Anna") ? QStringLiteral("Anna") : QString());
            ASSERT_TRUE(service.save(settingsNamed(QStringLiteral("Neu"))));
            EXPECT_TRUE(QFileInfo(file).isSymLink());
            EXPECT_EQ(userNameIn(readFile(target)), QStringLiteral("Neu"));
            EXPECT_FALSE(QFileInfo::exists(service.backupFilePath()));
            continue;
        }
        EXPECT_TRUE(isDefaults(loaded.settings));
        EXPECT_TRUE(service.lastError()->startsWith(kLoadMessageStart)) << service.lastError()->toStdString();
        // The link itself is the backup, still leading to the user's file.
        EXPECT_EQ(QFileInfo(service.backupFilePath()).symLinkTarget(), target);
        ASSERT_TRUE(service.save(settingsNamed(QStringLiteral("Neu"))));
        EXPECT_EQ(corvane::test::entryType(file), mode_t(S_IFREG));
        EXPECT_EQ(readFile(target), c.target);

        // A link put there while the program runs is not written through
        // either: the save says why and leaves both files alone.
        ASSERT_TRUE(QFile::remove(file));
        ASSERT_TRUE(QFile::link(target, file));
        EXPECT_FALSE(service.save(settingsNamed(QStringLiteral("Dritte"))));
        ASSERT_TRUE(service.lastError());
        EXPECT_TRUE(service.lastError()->startsWith(kSaveMessageStart));
        EXPECT_EQ(readFile(target), c.target);
        EXPECT_TRUE(QFileInfo(file).isSymLink());
        EXPECT_EQ(corvane::test::entriesOf(QFileInfo(target).absolutePath()), QStringList{"package.json"});
    }
}

// A number no double can hold costs its own field, like an integer out of
// range; the rest of the file stays, and nothing is set aside.
TEST_F(SettingsServiceTest, ANumberBeyondRangeCostsOnlyItsField) {
    struct Case {
        const char* number;
        double fontSize;  // after repair
        double latitude;  // not clamped
        std::optional<double> windowLeft;
    };
    const std::optional<double> absent;
    const double twoTo64 = 18446744073709551616.0;
    const Case cases[] = {
        {"1e400", 120, 52.52, absent},
        {"-1e999", 120, 52.52, absent},
        {"1e99999", 120, 52.52, absent},
        {"1e308", 320, 1e308, 1e308},
        {"18446744073709551616", 320, twoTo64, twoTo64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        const QByteArray n(c.number);
        writeFile(dataPath(QStringLiteral("settings.json")),
                  R"({"UserName": "Zahl", "FontSize": )" + n + R"(, "Theme": "Dark", "Dusk": {"Latitude": )" +
                      n + R"(, "Longitude": 8.5}, "Alarms": [{"Hour": )" + n +
                      R"(, "Minute": 5, "FadeSeconds": )" + n + R"(}], "WindowLeft": )" + n +
                      R"(, "WindowTop": 10})");
        SettingsService service(paths);
        const SettingsLoadResult loaded = service.load();
        EXPECT_FALSE(loaded.failed);
        EXPECT_FALSE(service.lastError());
        EXPECT_FALSE(QFileInfo::exists(service.backupFilePath()));
        const AppSettings& s = loaded.settings;
        EXPECT_EQ(s.userName, QStringLiteral("Zahl"));
        EXPECT_EQ(s.theme, ThemeMode::dark);
        EXPECT_EQ(s.fontSize, c.fontSize);
        EXPECT_EQ(s.dusk.latitude, c.latitude);
        EXPECT_EQ(s.dusk.longitude, 8.5);
        EXPECT_EQ(s.alarms[0].hour, 7);  // no integer
        EXPECT_EQ(s.alarms[0].minute, 5);
        EXPECT_EQ(s.alarms[0].fadeSeconds, 0);
        EXPECT_EQ(s.windowLeft, c.windowLeft);
        EXPECT_EQ(s.windowTop, 10);
    }
}

// A save through a link writes its temporary file beside the link's target;
// a run killed then leaves it there.
TEST_F(SettingsServiceTest, StartUpRemovesItsTemporaryFilesBesideALinksTarget) {
    const QString elsewhere = root.path() + QStringLiteral("/Dotfiles");
    const QString other = root.path() + QStringLiteral("/Projekt");
    const QStringList strays{"corvane.json.tmp.Ab3xZ9", "package.json.tmp.Ab3xZ9"};
    const QStringList users{"corvane.json.tmp.kurz", "corvane.json.tmp.Ab3xZ9a", "corvane.json.tmp.Ab-xZ9",
                            "notizen.txt.tmp.Ab3xZ9", "corvane.json.bak"};
    for (const QString& folder : {elsewhere, other})
        for (const QString& name : strays + users) writeFile(folder + u'/' + name, "halb");
    writeFile(elsewhere + QStringLiteral("/corvane.json"), R"({"UserName": "Anna"})");
    writeFile(other + QStringLiteral("/package.json"), R"({"name": "mein-projekt"})");
    QDir().mkpath(paths.dataFolder);
    QDir().mkpath(elsewhere + QStringLiteral("/corvane.json.tmp.Ordner"));
    ASSERT_TRUE(
        QFile::link(elsewhere + QStringLiteral("/corvane.json"), dataPath(QStringLiteral("settings.json"))));
    ASSERT_TRUE(
        QFile::link(other + QStringLiteral("/package.json"), dataPath(QStringLiteral("fenster.ini"))));

    SettingsService service(paths);
    EXPECT_FALSE(service.load().failed);
    QStringList left =
        users + QStringList{"corvane.json", "corvane.json.tmp.Ordner", "package.json.tmp.Ab3xZ9"};
    left.sort();
    EXPECT_EQ(corvane::test::entriesOf(elsewhere), left);
    // Beside a target that is not ours nothing was ever written by us.
    QStringList untouched = strays + users + QStringList{"package.json"};
    untouched.sort();
    EXPECT_EQ(corvane::test::entriesOf(other), untouched);
}

TEST_F(SettingsServiceTest, StartUpRemovesOnlyItsOwnStrayTemporaryFiles) {
    writeFile(dataPath(QStringLiteral("settings.json")), SettingsService::encode(settingsNamed(QStringLiteral("A"))));
    for (const char* name : {"settings.json.tmp.Ab3xZ9", "fenster.ini.tmp.000000", "settings.json.defekt.bak.tmp.qqqqqq",
                             "settings.json.tmp.kurz", "settings.json.backup", "notizen.txt.tmp.Ab3xZ9"})
        writeFile(dataPath(QString::fromUtf8(name)), "x");
    QDir().mkpath(dataPath(QStringLiteral("settings.json.tmp.Ordner")));

    SettingsService service(paths);
    EXPECT_FALSE(service.load().failed);
    EXPECT_EQ(corvane::test::entriesOf(paths.dataFolder),
              (QStringList{"notizen.txt.tmp.Ab3xZ9", "settings.json", "settings.json.backup",
                           "settings.json.tmp.Ordner", "settings.json.tmp.kurz"}));
}

TEST_F(SettingsServiceTest, CleanupSparesTheFilesTheBackupNames) {
    SettingsService service(paths);
    const QString media = service.mediaDirectory();
    for (const char* name : {"ton-Wecker-ABC123.mp3", "zifferblatt-Ü-DEF456.png", "ton-weg-000000.wav"})
        writeFile(media + u'/' + QString::fromUtf8(name), "x");
    // A damaged file cut off midway still names the files it used; one
    // spelt with escapes, as another JSON writer would.
    writeFile(service.backupFilePath(),
              "{\"Alarms\": [{\"Sound\": {\"CustomFilePath\": \"" + media.toUtf8() +
                  "/ton-Wecker-ABC123.mp3\"}}], \"DialImagePath\": \"/x/zifferblatt-\\u00dc-DEF456.png\", \"Us");

    service.cleanupMedia({});
    EXPECT_EQ(corvane::test::entriesOf(media),
              (QStringList{"ton-Wecker-ABC123.mp3", QString::fromUtf8("zifferblatt-Ü-DEF456.png")}));

    // A backup too large to read through: nothing is deleted at all.
    writeFile(media + QStringLiteral("/ton-weg-000000.wav"), "x");
    writeFile(service.backupFilePath(), QByteArray(9 * 1024 * 1024, ' '));
    service.cleanupMedia({});
    EXPECT_EQ(corvane::test::entriesOf(media).size(), 3);

    // A backup that is a pipe names nothing and is not opened.
    QFile::remove(service.backupFilePath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(service.backupFilePath()).constData(), 0600), 0);
    ASSERT_TRUE(corvane::test::endsWithin(std::chrono::seconds(5), [&] { service.cleanupMedia({}); }));
    EXPECT_EQ(corvane::test::entriesOf(media).size(), 0);
}

TEST_F(SettingsServiceTest, ImportNeverOpensWhatIsNotARegularFile) {
    SettingsService service(paths);
    for (const Oddity what : {Oddity::fifo, Oddity::linkToDevice, Oddity::socket, Oddity::linkToFolder}) {
        SCOPED_TRACE(corvane::test::oddityName(what));
        QTemporaryDir scratch;
        const QString picked = scratch.path() + QStringLiteral("/Klang.wav");
        ASSERT_TRUE(corvane::test::makeOddity(what, picked, scratch.path() + QStringLiteral("/x")));
        std::optional<QString> imported;
        ASSERT_TRUE(corvane::test::endsWithin(std::chrono::seconds(5),
                                              [&] { imported = service.importSoundFile(picked, u"ton"); }));
        EXPECT_FALSE(imported);
        ASSERT_TRUE(service.lastError());
        EXPECT_EQ(*service.lastError(),
                  QStringLiteral("Datei konnte nicht übernommen werden: Keine gewöhnliche Datei"));
        EXPECT_TRUE(corvane::test::entriesOf(service.mediaDirectory()).isEmpty());
    }
    // A copy that fails midway leaves nothing half-written in the media folder.
    const QString picked = root.path() + QStringLiteral("/Gong.wav");
    writeFile(picked, QByteArray(100000, 'x'));
    {
        corvane::testing::ScopedWriteFault fault(WriteStage::write, ENOSPC);
        EXPECT_FALSE(service.importSoundFile(picked, u"ton"));
    }
    EXPECT_EQ(*service.lastError(), QStringLiteral("Datei konnte nicht übernommen werden: Kein Speicherplatz mehr frei"));
    EXPECT_TRUE(corvane::test::entriesOf(service.mediaDirectory()).isEmpty());
}

// A file that cannot be renamed (here: a mount point) is copied aside, but
// never beyond a bound; one too large to copy is never replaced instead.
TEST_F(SettingsServiceTest, ADamagedFileThatCannotBeRenamedIsCopiedWithinABound) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the right to mount";
    const QString file = dataPath(QStringLiteral("settings.json"));
    writeFile(file, "Platzhalter");
    struct Case {
        QByteArray damage;
        bool copied;
    };
    const Case cases[] = {{"{ kaputt", true}, {QByteArray(9 * 1024 * 1024, '['), false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.damage.size());
        QTemporaryDir other;
        const QString source = other.path() + QStringLiteral("/kaputt.json");
        writeFile(source, c.damage);
        if (::mount(QFile::encodeName(source).constData(), QFile::encodeName(file).constData(), nullptr, MS_BIND,
                    nullptr) != 0)
            GTEST_SKIP() << "bind mount refused";
        // Undone however the case ends.
        const std::unique_ptr<const QString, void (*)(const QString*)> unmount(
            &file, [](const QString* f) { ::umount2(QFile::encodeName(*f).constData(), MNT_DETACH); });
        QFile::remove(dataPath(QStringLiteral("settings.json.defekt.bak")));
        {
            SettingsService service(paths);
            EXPECT_TRUE(service.load().failed);
            ASSERT_TRUE(service.lastError());
            EXPECT_EQ(service.lastError()->contains(QStringLiteral("nicht gesichert")), !c.copied);
            if (c.copied)
                EXPECT_EQ(readFile(service.backupFilePath()), c.damage);
            else
                EXPECT_FALSE(QFileInfo::exists(service.backupFilePath()));
            EXPECT_FALSE(service.save(settingsNamed(QStringLiteral("Neu"))));
        }
        EXPECT_EQ(readFile(file), c.damage);
    }
}
