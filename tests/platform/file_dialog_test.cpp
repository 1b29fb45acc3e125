// What the file dialog offers: its German filters, the folder it opens in,
// and which files it lists.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QTemporaryDir>

#include "TestWait.h"
#include "platform/FileChooser.h"
#include "platform/system/DialogFileChooser.h"

using namespace corvane;

namespace {

// HOME and the desktop's folder names pointed into a temporary folder for
// one test, so nothing depends on the machine's account.
class TemporaryHome {
public:
    TemporaryHome() : oldHome_(qgetenv("HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", QFile::encodeName(root_.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root_.filePath(QStringLiteral(".config"))));
        QDir(root_.path()).mkpath(QStringLiteral(".config"));
        QFile dirs(root_.filePath(QStringLiteral(".config/user-dirs.dirs")));
        EXPECT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_MUSIC_DIR=\"$HOME/Musik\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    }
    ~TemporaryHome() {
        qputenv("HOME", oldHome_);
        qputenv("XDG_CONFIG_HOME", oldConfig_);
    }
    QString path(const char* name = nullptr) const {
        return name ? root_.filePath(QString::fromUtf8(name)) : root_.path();
    }

private:
    QTemporaryDir root_;
    QByteArray oldHome_;
    QByteArray oldConfig_;
};

QStringList listed(QFileDialog& dialog) {
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    if (!view) return {};
    QStringList names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row)
        names << view->model()->index(row, 0, root).data().toString();
    names.sort();
    return names;
}

}  // namespace

TEST(FileRequest, GermanFiltersWithAllFilesAndTheDesktopsFolders) {
    TemporaryHome home;
    const QStringList audio{QStringLiteral("*.mp3"), QStringLiteral("*.wav"), QStringLiteral("*.oga")};
    const QStringList images{QStringLiteral("*.jpg"), QStringLiteral("*.png")};

    // No music or pictures folder yet: the home folder, not the program's
    // working folder.
    const FileRequest sound = FileRequest::sounds(QStringLiteral("Alarmton auswählen"), audio);
    EXPECT_EQ(sound.title, QStringLiteral("Alarmton auswählen"));
    EXPECT_EQ(sound.patterns, audio);
    EXPECT_EQ(sound.nameFilters,
              (QStringList{QStringLiteral("Audiodateien (*.mp3 *.wav *.oga)"), QStringLiteral("Alle Dateien (*)")}));
    EXPECT_EQ(sound.startFolder, home.path());
    const FileRequest image = FileRequest::images(QStringLiteral("Zifferblatt-Bild auswählen"), images);
    EXPECT_EQ(image.nameFilters,
              (QStringList{QStringLiteral("Bilder (*.jpg *.png)"), QStringLiteral("Alle Dateien (*)")}));
    EXPECT_EQ(image.startFolder, home.path());

    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Musik")));
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Bilder")));
    EXPECT_EQ(FileRequest::sounds(QString(), audio).startFolder, home.path("Musik"));
    EXPECT_EQ(FileRequest::images(QString(), images).startFolder, home.path("Bilder"));
}

// The dialog the program shows lists a sound whatever the case of its
// extension, opens where the request says, and offers every file on demand.
TEST(DialogFileChooser, ListsExtensionsInAnyCaseWhereTheRequestOpens) {
    TemporaryHome home;
    const QString music = home.path("Musik");
    ASSERT_TRUE(QDir().mkpath(music));
    for (const char* name : {"Song.Mp3", "leise.mp3", "LAUT.WAV", "notizen.txt"}) {
        QFile f(music + QLatin1Char('/') + QString::fromUtf8(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const FileRequest request =
        FileRequest::sounds(QStringLiteral("Alarmton auswählen"), {QStringLiteral("*.mp3"), QStringLiteral("*.wav")});
    ASSERT_EQ(request.startFolder, music);

    QFileDialog dialog;
    DialogFileChooser::configure(dialog, request);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog.windowTitle(), request.title);
    EXPECT_EQ(dialog.nameFilters(), request.nameFilters);
    EXPECT_EQ(dialog.directory().absolutePath(), music);
    dialog.show();
    const QStringList sounds{QStringLiteral("LAUT.WAV"), QStringLiteral("Song.Mp3"), QStringLiteral("leise.mp3")};
    EXPECT_TRUE(test::waitUntil([&] { return listed(dialog) == sounds; })) << listed(dialog).join(u'|').toStdString();

    dialog.selectNameFilter(QStringLiteral("Alle Dateien (*)"));
    EXPECT_TRUE(test::waitUntil([&] { return listed(dialog).contains(QStringLiteral("notizen.txt")); }))
        << listed(dialog).join(u'|').toStdString();
    dialog.hide();
}
