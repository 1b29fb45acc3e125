#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "platform/Text.h"

namespace corvane {

namespace {

constexpr int kNoFault = -1;
std::atomic<int> g_faultStage{kNoFault};
std::atomic<int> g_faultError{0};

constexpr char kTemporaryInfix[] = ".tmp.";
constexpr int kTemporaryTagLength = 6;
constexpr char kTagAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// The errno an injected fault gives for `stage`, or 0.
int injectedFault(WriteStage stage) {
    return g_faultStage.load() == int(stage) ? g_faultError.load() : 0;
}

bool isTagCharacter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    if (slash == 0) return QByteArrayLiteral("/");
    return path.left(slash);
}

// Writes every byte or says why not. A short write is retried: it is how a
// disk that fills up reports the first bytes it could still take.
int writeAll(int fd, const char* data, qsizetype size) {
    if (const int fault = injectedFault(WriteStage::write)) {
        if (size > 1) (void)!::write(fd, data, size_t(size / 2));
        return fault;
    }
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        data += n;
        size -= n;
    }
    return 0;
}

void syncFolder(const QByteArray& folder) {
    // Makes the rename itself survive a power loss. The new file is complete
    // either way, so a file system that cannot sync folders is no failure.
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The common path of every replacement: `fill` writes the content into the
// open temporary file and returns 0 or an errno.
WriteOutcome replaceWith(const QString& path, const std::function<int(int fd)>& fill) {
    const QByteArray destination = QFile::encodeName(path);
    const QByteArray folder = folderOf(destination);

    // The old file's permissions carry over; only a regular file's count, a
    // link's target is none of our business.
    std::optional<mode_t> mode;
    struct stat old {};
    if (::lstat(destination.constData(), &old) == 0 && S_ISREG(old.st_mode)) mode = old.st_mode & 07777;

    QByteArray temporary;
    int fd = -1;
    if (const int fault = injectedFault(WriteStage::create)) return {fault, WriteStage::create};
    for (int attempt = 0; attempt < 64 && fd < 0; ++attempt) {
        temporary = destination + kTemporaryInfix;
        for (int i = 0; i < kTemporaryTagLength; ++i)
            temporary.append(kTagAlphabet[QRandomGenerator::global()->bounded(int(sizeof kTagAlphabet) - 1)]);
        // 0666 less the umask, as any new file of the user's.
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST) return {errno, WriteStage::create};
    }
    if (fd < 0) return {EEXIST, WriteStage::create};

    auto fail = [&](int error, WriteStage stage) {
        if (fd >= 0) ::close(fd);
        ::unlink(temporary.constData());
        return WriteOutcome{error, stage};
    };

    if (mode) ::fchmod(fd, *mode);
    if (const int error = fill(fd)) return fail(error, WriteStage::write);
    if (const int fault = injectedFault(WriteStage::sync)) return fail(fault, WriteStage::sync);
    if (::fsync(fd) != 0) return fail(errno, WriteStage::sync);
    {
        const int fault = injectedFault(WriteStage::close);
        // Linux releases the descriptor even when close reports an error.
        const int closed = ::close(fd);
        fd = -1;
        if (fault) return fail(fault, WriteStage::close);
        if (closed != 0 && errno != EINTR) return fail(errno, WriteStage::close);
    }
    if (const int fault = injectedFault(WriteStage::rename)) return fail(fault, WriteStage::rename);
    if (::rename(temporary.constData(), destination.constData()) != 0) return fail(errno, WriteStage::rename);
    syncFolder(folder);
    return {};
}

}  // namespace

WriteOutcome replaceFile(const QString& path, QByteArrayView bytes) {
    return replaceWith(path, [bytes](int fd) { return writeAll(fd, bytes.data(), bytes.size()); });
}

WriteOutcome copyRegularFile(const QString& source, const QString& destination, std::optional<qint64> maxBytes) {
    const QByteArray from = QFile::encodeName(source);
    struct stat info {};
    // Judged before opening: opening some devices already does something.
    if (::stat(from.constData(), &info) != 0) return {errno, WriteStage::create};
    if (!S_ISREG(info.st_mode)) return {kNotARegularFile, WriteStage::create};
    const int in = ::open(from.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (in < 0) return {errno, WriteStage::create};
    // It may have been swapped for something else since.
    if (::fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(in);
        return {kNotARegularFile, WriteStage::create};
    }
    if (maxBytes && info.st_size > *maxBytes) {
        ::close(in);
        return {EFBIG, WriteStage::create};
    }
    const WriteOutcome outcome = replaceWith(destination, [&](int out) {
        char buffer[64 * 1024];
        qint64 total = 0;
        for (;;) {
            const ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            if (n == 0) return 0;
            total += n;
            // Grown since the size check: the bound holds all the same.
            if (maxBytes && total > *maxBytes) return EFBIG;
            if (const int error = writeAll(out, buffer, n)) return error;
        }
    });
    ::close(in);
    return outcome;
}

ReadOutcome readRegularFile(const QString& path, qint64 maxBytes) {
    ReadOutcome out;
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) {
        out.error = errno;
        out.missing = errno == ENOENT;
        return out;
    }
    if (!S_ISREG(info.st_mode)) {
        out.notRegular = true;
        return out;
    }
    if (info.st_size > maxBytes) {
        out.tooLarge = true;
        return out;
    }
    // Non-blocking: should a pipe have taken the file's place since the
    // check, opening it must not wait for a writer.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        out.error = errno;
        out.missing = errno == ENOENT;
        return out;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        out.notRegular = true;
        ::close(fd);
        return out;
    }
    QByteArray bytes;
    bytes.reserve(qsizetype(info.st_size));
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            out.error = errno;
            ::close(fd);
            return out;
        }
        if (n == 0) break;
        // The file may have grown since the size check.
        if (bytes.size() + n > maxBytes) {
            out.tooLarge = true;
            ::close(fd);
            return out;
        }
        bytes.append(buffer, qsizetype(n));
    }
    ::close(fd);
    out.bytes = std::move(bytes);
    return out;
}

WriteTarget writeTargetOf(const QString& path, const OwnFileKind& kind) {
    WriteTarget target{path};
    const QByteArray name = QFile::encodeName(path);
    struct stat entry {};
    if (::lstat(name.constData(), &entry) != 0 || !S_ISLNK(entry.st_mode)) return target;
    target.isLink = true;
    // Read before resolving: readRegularFile refuses whatever is not a
    // regular file, and never blocks on a pipe the link may lead to.
    const ReadOutcome read = readRegularFile(path, kind.maxBytes);
    if (!read.bytes || !kind.isOurs || !kind.isOurs(*read.bytes)) return target;
    char* resolved = ::realpath(name.constData(), nullptr);
    if (!resolved) return target;
    target.path = QFile::decodeName(resolved);
    std::free(resolved);
    target.followed = true;
    return target;
}

WriteOutcome replaceOwnFile(const QString& path, QByteArrayView bytes, const OwnFileKind& kind) {
    return replaceFile(writeTargetOf(path, kind).path, bytes);
}

bool isTemporaryNameOf(const QString& candidate, const QString& fileName) {
    const QString head = fileName + QLatin1String(kTemporaryInfix);
    if (candidate.size() != head.size() + kTemporaryTagLength || !candidate.startsWith(head)) return false;
    for (qsizetype i = head.size(); i < candidate.size(); ++i)
        if (!isTagCharacter(candidate.at(i))) return false;
    return true;
}

void removeStrayTemporaries(const QString& folder, const QString& fileName) {
    const QByteArray dir = QFile::encodeName(folder);
    DIR* listing = ::opendir(dir.constData());
    if (!listing) return;
    while (const dirent* entry = ::readdir(listing)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (!isTemporaryNameOf(name, fileName)) continue;
        const QByteArray full = dir + '/' + entry->d_name;
        struct stat info {};
        if (::lstat(full.constData(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(full.constData());
    }
    ::closedir(listing);
}

void removeStrayTemporariesOf(const QString& path, const OwnFileKind& kind) {
    const QFileInfo name(path);
    removeStrayTemporaries(name.absolutePath(), name.fileName());
    // Beside a foreign target nothing was ever written by us: a file there
    // that merely looks like our temporary belongs to someone else.
    const WriteTarget target = writeTargetOf(path, kind);
    if (!target.followed) return;
    const QFileInfo reached(target.path);
    removeStrayTemporaries(reached.absolutePath(), reached.fileName());
}

QString describeFileError(int error) {
    switch (error) {
        case kNotARegularFile:
            return tr("Keine gewöhnliche Datei");
        case ENOSPC:
        case EDQUOT:
            return tr("Kein Speicherplatz mehr frei");
        case EACCES:
        case EPERM:
            return tr("Keine Zugriffsberechtigung");
        case EROFS:
            return tr("Das Laufwerk ist schreibgeschützt");
        case EISDIR:
            return tr("An der Stelle der Datei liegt ein Ordner");
        case ENOTDIR:
            return tr("Ein Teil des Pfads ist kein Ordner");
        case ENOENT:
            return tr("Der Ordner existiert nicht");
        case EIO:
            return tr("Ein-/Ausgabefehler des Laufwerks");
        case EFBIG:
            return tr("Die Datei ist zu groß");
        case ENAMETOOLONG:
            return tr("Der Dateiname ist zu lang");
        case ELOOP:
            return tr("Zu viele verkettete Verknüpfungen");
        case EMFILE:
        case ENFILE:
            return tr("Zu viele offene Dateien");
        case EBUSY:
        case ETXTBSY:
            return tr("Die Datei wird gerade verwendet");
        case ENXIO:
        case ENODEV:
            return tr("Kein Gerät unter diesem Namen");
        default:
            break;
    }
    const char* name = ::strerrorname_np(error);
    return tr("Systemfehler %1").arg(name ? QString::fromLatin1(name) : QString::number(error));
}

namespace testing {

ScopedWriteFault::ScopedWriteFault(WriteStage stage, int error) {
    g_faultError = error;
    g_faultStage = int(stage);
}

ScopedWriteFault::~ScopedWriteFault() {
    g_faultStage = kNoFault;
    g_faultError = 0;
}

}  // namespace testing

}  // namespace corvane
