#pragma once

// What the storage tests put where a program expects its file: pipes,
// sockets, links to devices, dangling links, and a file system that is full.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <cstring>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>

namespace corvane::test {

enum class Oddity { fifo, socket, linkToDevice, danglingLink, linkToForeignFile, linkToFolder };

inline const char* oddityName(Oddity o) {
    switch (o) {
        case Oddity::fifo: return "FIFO";
        case Oddity::socket: return "socket";
        case Oddity::linkToDevice: return "link to /dev/zero";
        case Oddity::danglingLink: return "dangling link";
        case Oddity::linkToForeignFile: return "link to a foreign file";
        case Oddity::linkToFolder: return "link to a folder";
    }
    return "?";
}

inline constexpr Oddity kOddities[] = {Oddity::fifo,         Oddity::socket,
                                       Oddity::linkToDevice, Oddity::danglingLink,
                                       Oddity::linkToForeignFile, Oddity::linkToFolder};

// The foreign file a link may lead to, and what it must still hold after.
inline const QByteArray kForeignContent = "meine Notizen, kein JSON\n";

// Puts `what` at `path`; a foreign file or folder it needs goes under
// `elsewhere`. False when the system refused.
inline bool makeOddity(Oddity what, const QString& path, const QString& elsewhere) {
    const QByteArray p = QFile::encodeName(path);
    switch (what) {
        case Oddity::fifo:
            return ::mkfifo(p.constData(), 0600) == 0;
        case Oddity::socket: {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            if (size_t(p.size()) >= sizeof address.sun_path) return false;
            std::memcpy(address.sun_path, p.constData(), size_t(p.size()));
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            if (fd >= 0) ::close(fd);
            return bound;
        }
        case Oddity::linkToDevice:
            return ::symlink("/dev/zero", p.constData()) == 0;
        case Oddity::danglingLink:
            return ::symlink(QFile::encodeName(elsewhere + QStringLiteral("/gibt-es-nicht")).constData(),
                             p.constData()) == 0;
        case Oddity::linkToForeignFile: {
            QDir().mkpath(elsewhere);
            QFile foreign(elsewhere + QStringLiteral("/notizen.txt"));
            if (!foreign.open(QIODevice::WriteOnly) || foreign.write(kForeignContent) != kForeignContent.size())
                return false;
            foreign.close();
            return QFile::link(foreign.fileName(), path);
        }
        case Oddity::linkToFolder:
            QDir().mkpath(elsewhere + QStringLiteral("/ordner"));
            return QFile::link(elsewhere + QStringLiteral("/ordner"), path);
    }
    return false;
}

// The file type of `path` itself (a link is a link).
inline mode_t entryType(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

// Whether nothing foreign was touched: the device is still a device, the
// foreign file holds what it held.
inline void expectForeignUntouched(Oddity what, const QString& elsewhere) {
    if (what == Oddity::linkToDevice) {
        struct stat info {};
        ASSERT_EQ(::stat("/dev/zero", &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode)) << "/dev/zero was replaced";
    }
    if (what == Oddity::linkToForeignFile) {
        QFile foreign(elsewhere + QStringLiteral("/notizen.txt"));
        ASSERT_TRUE(foreign.open(QIODevice::ReadOnly));
        EXPECT_EQ(foreign.readAll(), kForeignContent);
    }
    if (what == Oddity::linkToFolder) {
        EXPECT_TRUE(QDir(elsewhere + QStringLiteral("/ordner")).isEmpty());
    }
}

// Runs `work` on its own thread and says whether it ended in time, so that a
// test of something that once hung fails instead of hanging itself.
inline bool endsWithin(std::chrono::milliseconds limit, std::function<void()> work) {
    auto task = std::make_shared<std::packaged_task<void()>>(std::move(work));
    std::future<void> done = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    return done.wait_for(limit) == std::future_status::ready;
}

// A small tmpfs of its own, filled to the last byte on request. Needs root
// (or the right to mount); `mounted()` is false otherwise.
class FullDisk {
public:
    FullDisk() {
        if (::geteuid() != 0 || !folder_.isValid()) return;
        const QByteArray where = QFile::encodeName(folder_.path());
        mounted_ = ::mount("tmpfs", where.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=256k,mode=0755") == 0;
    }
    ~FullDisk() {
        if (mounted_) ::umount2(QFile::encodeName(folder_.path()).constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool mounted() const { return mounted_; }
    QString path() const { return folder_.path(); }

    // Writes a filler file until the file system takes no more.
    void fill() {
        QFile filler(path() + QStringLiteral("/fueller"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        // Whatever half block is still free goes too.
        const int fd = ::open(QFile::encodeName(path() + QStringLiteral("/rest")).constData(), O_WRONLY | O_CREAT, 0600);
        if (fd >= 0) {
            while (::write(fd, "x", 1) == 1) {
            }
            ::close(fd);
        }
    }
    void makeRoom() {
        QFile::remove(path() + QStringLiteral("/fueller"));
        QFile::remove(path() + QStringLiteral("/rest"));
    }

private:
    QTemporaryDir folder_;
    bool mounted_ = false;
};

// The entries of a folder, hidden ones included.
inline QStringList entriesOf(const QString& folder) {
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

}  // namespace corvane::test
