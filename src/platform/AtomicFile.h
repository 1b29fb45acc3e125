#pragma once

// Every file either program writes goes through here: the new bytes go to a
// temporary file beside the old one, each step is checked (every byte
// written, synced to disk, closed), and only then does one rename put the new
// file in place. On any failure the temporary file is removed and the old
// file stays exactly as it was. The destination itself is never opened, so a
// link, a pipe or a device under its name is replaced, never written through.
//
// Reading goes through readRegularFile, which never blocks on and never reads
// anything but a regular file.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <optional>

namespace corvane {

// The steps of a replacement, in order. `close` is where a file system that
// buffers (a network share) reports what it could not store.
enum class WriteStage { create, write, sync, close, rename };

// The error of a copy whose source is a folder, pipe, socket or device.
inline constexpr int kNotARegularFile = -1;

struct WriteOutcome {
    int error = 0;  // errno of the failing step; 0 on success
    WriteStage stage = WriteStage::create;

    bool ok() const { return error == 0; }
};

// Replaces `path` with `bytes`. The folder must exist. A regular file already
// at `path` lends the new one its permissions.
WriteOutcome replaceFile(const QString& path, QByteArrayView bytes);

// Copies the regular file `source` to `destination` the same way (a new file
// appears whole or not at all). Refuses anything but a regular file, and one
// larger than `maxBytes` (EFBIG) when a bound is given.
WriteOutcome copyRegularFile(const QString& source, const QString& destination,
                             std::optional<qint64> maxBytes = std::nullopt);

struct ReadOutcome {
    std::optional<QByteArray> bytes;  // absent on any failure
    int error = 0;                    // errno; 0 with absent bytes: see the flags
    bool missing = false;             // nothing under that name (or a dangling link)
    bool notRegular = false;          // a folder, pipe, socket or device (or a link to one)
    bool tooLarge = false;            // larger than the bound
};

// The whole content of a regular file of at most `maxBytes`. Links are
// followed; what they lead to must be a regular file. A pipe or device is
// never read, and opening one never blocks.
ReadOutcome readRegularFile(const QString& path, qint64 maxBytes);

// What a writer takes for its own file: at most `maxBytes`, with content that
// `isOurs` recognises. A user may keep such a file elsewhere and link it in;
// a link that leads to anything else (a project's package.json, a note) is
// never written through.
struct OwnFileKind {
    qint64 maxBytes = 0;
    std::function<bool(const QByteArray& content)> isOurs;
};

struct WriteTarget {
    QString path;           // what the replacement goes to
    bool isLink = false;    // the name itself is a symbolic link
    bool followed = false;  // ... to a file of our kind, which `path` names
};

// Where a replacement of `path` belongs: the regular file a link under that
// name leads to when it reads as `kind`, else `path` itself.
WriteTarget writeTargetOf(const QString& path, const OwnFileKind& kind);

// replaceFile at writeTargetOf(path, kind): a link to a file of ours stays
// and that file is replaced beside itself; any other link is replaced by the
// new file, and what it led to stays untouched.
WriteOutcome replaceOwnFile(const QString& path, QByteArrayView bytes, const OwnFileKind& kind);

// The name a replacement of `fileName` writes through before its rename.
bool isTemporaryNameOf(const QString& candidate, const QString& fileName);

// Deletes temporary files that a replacement of `fileName` in `folder` left
// behind when the process was killed midway. Only regular files whose name
// this code makes are touched.
void removeStrayTemporaries(const QString& folder, const QString& fileName);

// The same for the file at `path`, and also beside the file a link under
// that name leads to when replaceOwnFile would write there: a replacement
// through a link leaves its temporary file in that other folder.
void removeStrayTemporariesOf(const QString& path, const OwnFileKind& kind);

// German words for an errno, for the messages the user reads.
QString describeFileError(int error);

namespace testing {

// While one exists, every replacement in this process fails at `stage` with
// `error`, as a full disk or a broken share would make it fail. A failing
// write step first writes part of the bytes, as a disk that fills up midway.
class ScopedWriteFault {
public:
    ScopedWriteFault(WriteStage stage, int error);
    ~ScopedWriteFault();
    ScopedWriteFault(const ScopedWriteFault&) = delete;
    ScopedWriteFault& operator=(const ScopedWriteFault&) = delete;
};

}  // namespace testing

}  // namespace corvane
