// The small state files: what counts as one of ours, and that only such a
// file is written through a link.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "HostileFiles.h"
#include "platform/IniFile.h"

using namespace corvane;

namespace {

const IniLayout kHost{QStringLiteral("General"),
                      {QStringLiteral("family"), QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("autostart")}};
const IniLayout kFrame{QStringLiteral("CorvaneSettings"), {QStringLiteral("geometry")}};

using test::readAll;
using test::writeAll;

ino_t inodeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

// Ours is what a rewrite loses nothing of but our own old values.
TEST(IniFile, AFileIsOursWhenItHoldsNothingButTheLayout) {
    struct Case {
        const IniLayout& layout;
        const char* content;
        bool ours;
    };
    const Case cases[] = {
        {kHost, "[General]\nfamily=large\nx=-40\ny=1200\nautostart=false\n", true},
        {kHost, "; von Hand\n\n[General]\r\nautostart = true\r\n", true},
        {kHost, "family=small\n", true},  // keys before any group are "General"
        {kHost, "[General]\n", true},
        {kHost, "", false},
        {kHost, "[General]\nfamily=large\ngeometry=01d9\n", false},
        {kHost, "[General]\nx=1\n[Window]\nstate=max\n", false},
        {kHost, "[Desktop Entry]\nName=Notizen\n", false},
        {kHost, "meine Notizen\n", false},
        {kHost, R"({"family": "large"})", false},
        {kFrame, "[CorvaneSettings]\ngeometry=01d9d0cb\n", true},
        {kFrame, "geometry=01d9d0cb\n", false},
        {kFrame, "[General]\ngeometry=01d9d0cb\n", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(iniFileKind(c.layout).isOurs(QByteArray(c.content)), c.ours) << c.content;
    }
}

// A user who keeps the file elsewhere keeps the link; a link to anything
// else is replaced by the new file and what it led to stays as it was.
TEST(IniFile, WritesThroughALinkOnlyToAFileOfItsLayout) {
    struct Case {
        const char* what;
        QByteArray target;
        bool followed;
    };
    const Case cases[] = {
        {"own file", "[General]\nfamily=large\n", true},
        {"foreign settings", "[General]\nfamily=large\nfont=Sans\n", false},
        {"text", "meine Notizen\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir scratch;
        const QString target = scratch.filePath(QStringLiteral("Dotfiles/widget.conf"));
        const QString file = scratch.filePath(QStringLiteral("config/tickora-widget.conf"));
        writeAll(target, c.target);
        QDir().mkpath(QFileInfo(file).absolutePath());
        ASSERT_TRUE(QFile::link(target, file));
        const ino_t before = inodeOf(target);

        ASSERT_TRUE(writeIniGroup(file, kHost, {{QStringLiteral("family"), QStringLiteral("small")}}).ok());
        const QByteArray written = "[General]\nfamily=small\n";
        EXPECT_EQ(readAll(file), written);
        EXPECT_EQ(QFileInfo(file).isSymLink(), c.followed);
        if (c.followed) {
            EXPECT_NE(inodeOf(target), before);  // replaced beside itself, not written into
        } else {
            EXPECT_EQ(readAll(target), c.target);
        }
        EXPECT_EQ(test::entriesOf(QFileInfo(target).absolutePath()), QStringList{"widget.conf"});
    }
}
