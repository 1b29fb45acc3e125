#pragma once

// The one object that touches the data folder: it reads settings.json at
// start-up (keeping a backup of a damaged file), writes it after changes
// (atomically, on its own write queue, reporting back on the main thread) or
// synchronously at shutdown, copies sound files and dial images the user
// picks into the media folder, and deletes media files no setting references.
// Nothing here throws; failures return a flag or nothing and leave a German
// message in lastError().

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "model/Settings.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

namespace corvane {

struct SettingsLoadResult {
    AppSettings settings;
    // The file existed but could not be read or decoded; the defaults are in
    // use and lastError() says why.
    bool failed = false;
    // The file was read, but a key that was present could not be and kept its
    // default, so the settings may reference fewer files than the user has.
    bool droppedUnreadableKey = false;

    // Deleting unreferenced media is only safe when the settings name every
    // file the user still relies on.
    bool allowsMediaCleanup() const { return !failed && !droppedUnreadableKey; }
};

class SettingsService : public QObject {
    Q_OBJECT

public:
    using WriteCompletion = std::function<void(bool ok, const std::optional<QString>& message)>;

    // Creates no file or folder; the first write does.
    explicit SettingsService(AppPaths paths, QObject* parent = nullptr);
    // Runs every write still queued before returning.
    ~SettingsService() override;

    QString storageDirectory() const { return m_storageDirectory; }
    QString settingsFilePath() const;
    QString backupFilePath() const;
    QString mediaDirectory() const;
    // Where the settings window keeps its frame, and how: one group whose
    // only key holds the frame.
    QString windowStateFilePath() const;
    static const IniLayout& windowStateLayout();

    // The German message of the most recent failure, if any.
    std::optional<QString> lastError() const;

    // Main thread, once at start-up.
    SettingsLoadResult load();

    // The bytes a save writes; empty when encoding failed.
    static QByteArray encode(const AppSettings& settings);

    // Synchronous save for shutdown: runs after every write queued before it
    // and returns its result.
    bool save(const AppSettings& settings);

    // Queues a write of already encoded settings; `completion` runs on the
    // thread of this object (the main thread) with the result and the message
    // of that very write.
    void writeAndNotify(QByteArray data, WriteCompletion completion);

    // Copies a picked file into the media folder under a new name built from
    // `prefix` ("ton", "zifferblatt") and returns the copy's path. A failure
    // also hands its message to `failure`: a write finishing on the queue
    // meanwhile may already have cleared lastError().
    std::optional<QString> importSoundFile(const QString& pickedPath, QStringView prefix,
                                           std::optional<QString>* failure = nullptr);

    // The name an import gives a picked file: prefix-base-tag.extension, the
    // base cut to whole characters as the user sees them.
    static QString importedFileName(const QString& pickedFileName, QStringView prefix, QStringView tag);

    // Deletes every regular file in the media folder whose name is not the
    // last component of one of `referencedPaths` and that the backup of a
    // damaged settings file does not name. Links, folders and other entries
    // stay.
    void cleanupMedia(const QStringList& referencedPaths);

    // Blocks until everything queued so far has run.
    void waitUntilIdle();

private:
    bool write(const QByteArray& data);  // on the write queue only
    void setLastError(std::optional<QString> message);
    bool backUpDamagedFile();
    void enqueue(std::function<void()> task);
    void runQueue();

    const QString m_storageDirectory;

    mutable std::mutex m_errorMutex;
    std::optional<QString> m_lastError;

    // Set when a damaged settings file could not be copied aside: no write of
    // this run may then replace the only copy of the user's settings.
    std::atomic<bool> m_protectDamagedFile{false};

    std::mutex m_queueMutex;
    std::condition_variable m_queueWake;
    std::deque<std::function<void()>> m_queue;
    bool m_stopping = false;
    std::thread m_worker;
};

}  // namespace corvane
