#include "model/SettingsService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QTextBoundaryFinder>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <future>

#include "model/SettingsCodec.h"
#include "platform/Text.h"
#include "platform/Uuid.h"

namespace corvane {

namespace {

constexpr int kMaxImportBaseGraphemes = 60;
// Linux file systems take at most 255 bytes per name; sixty emoji sequences
// would exceed that and make every import of such a file fail.
constexpr qsizetype kMaxFileNameBytes = 255;

QString settingsFileName() {
    return QStringLiteral("settings.json");
}

// Qt's own error strings are English; the user reads German.
QString describe(QFileDevice::FileError error) {
    switch (error) {
        case QFileDevice::NoError:
            return tr("Unbekannter Fehler");
        case QFileDevice::ReadError:
            return tr("Die Datei konnte nicht gelesen werden");
        case QFileDevice::WriteError:
            return tr("Die Datei konnte nicht geschrieben werden");
        case QFileDevice::FatalError:
            return tr("Schwerer Fehler beim Dateizugriff");
        case QFileDevice::ResourceError:
            return tr("Kein Speicherplatz oder keine Systemressourcen mehr frei");
        case QFileDevice::OpenError:
            return tr("Die Datei konnte nicht geöffnet werden");
        case QFileDevice::AbortError:
            return tr("Der Vorgang wurde abgebrochen");
        case QFileDevice::TimeOutError:
            return tr("Zeitüberschreitung beim Dateizugriff");
        case QFileDevice::UnspecifiedError:
            return tr("Unbekannter Fehler beim Dateizugriff");
        case QFileDevice::RemoveError:
            return tr("Die Datei konnte nicht gelöscht werden");
        case QFileDevice::RenameError:
            return tr("Die Datei konnte nicht ersetzt werden");
        case QFileDevice::PositionError:
            return tr("Fehler beim Positionieren in der Datei");
        case QFileDevice::ResizeError:
            return tr("Die Dateigröße konnte nicht geändert werden");
        case QFileDevice::PermissionsError:
            return tr("Keine Zugriffsberechtigung");
        case QFileDevice::CopyError:
            return tr("Die Datei konnte nicht kopiert werden");
    }
    return tr("Unbekannter Fehler");
}

QString folderNotCreated(const QString& path) {
    return tr("Der Ordner „%1“ konnte nicht angelegt werden").arg(QDir::toNativeSeparators(path));
}

QString saveFailed(const QString& reason) {
    return tr("Einstellungen konnten nicht gespeichert werden: ") + reason;
}

QString importFailed(const QString& reason) {
    return tr("Datei konnte nicht übernommen werden: ") + reason;
}

// The last component of a path, ignoring trailing separators ("/a/b/" → "b").
QString lastPathComponent(const QString& path) {
    qsizetype end = path.size();
    while (end > 0 && path.at(end - 1) == u'/') --end;
    const qsizetype start = path.lastIndexOf(u'/', end - 1) + 1;
    return path.mid(start, end - start);
}

// Splits "Mein Wecker.MP3" into base and extension the way the file manager
// shows them: a leading dot marks a hidden file, not an extension.
void splitExtension(const QString& name, QString* base, QString* extension) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || dot == name.size() - 1) {
        *base = name;
        extension->clear();
        return;
    }
    *base = name.left(dot);
    *extension = name.mid(dot + 1);
}

// The first `graphemes` user-perceived characters of `text`, and fewer when
// their UTF-8 form would exceed `maxBytes`; never splits a character.
QString cutToGraphemes(const QString& text, int graphemes, qsizetype maxBytes) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    qsizetype bytes = 0;
    for (int count = 0; count < graphemes; ++count) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0) break;
        const qsizetype size = QStringView(text).mid(end, next - end).toUtf8().size();
        if (bytes + size > maxBytes) break;
        bytes += size;
        end = next;
    }
    return text.left(end);
}

}  // namespace

SettingsService::SettingsService(AppPaths paths, QObject* parent)
    : QObject(parent), m_storageDirectory(std::move(paths.dataFolder)) {
    m_worker = std::thread([this] { runQueue(); });
}

SettingsService::~SettingsService() {
    {
        std::lock_guard lock(m_queueMutex);
        m_stopping = true;
    }
    m_queueWake.notify_all();
    if (m_worker.joinable()) m_worker.join();
}

QString SettingsService::settingsFilePath() const {
    return m_storageDirectory + u'/' + settingsFileName();
}

QString SettingsService::backupFilePath() const {
    return settingsFilePath() + QStringLiteral(".defekt.bak");
}

QString SettingsService::mediaDirectory() const {
    return m_storageDirectory + QStringLiteral("/Medien");
}

std::optional<QString> SettingsService::lastError() const {
    std::lock_guard lock(m_errorMutex);
    return m_lastError;
}

void SettingsService::setLastError(std::optional<QString> message) {
    std::lock_guard lock(m_errorMutex);
    m_lastError = std::move(message);
}

// ---------------------------------------------------------------------------
// Load

SettingsLoadResult SettingsService::load() {
    setLastError(std::nullopt);
    SettingsLoadResult result{AppSettings::defaults(), false, false};

    const QString path = settingsFilePath();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return result;

    QString reason;
    std::optional<SettingsDecodeResult> decoded;
    if (!info.isFile()) {
        // A folder, a dangling link or a pipe: opening a pipe would block the
        // start-up until someone writes into it.
        reason = tr("Keine lesbare Datei");
    } else if (info.size() > kMaxSettingsFileBytes) {
        reason = tr("Die Datei ist zu groß (%1 Bytes).").arg(info.size());
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            reason = describe(file.error());
        } else {
            // One byte more than allowed tells a file that grew meanwhile.
            const QByteArray bytes = file.read(kMaxSettingsFileBytes + 1);
            if (file.error() != QFileDevice::NoError)
                reason = describe(file.error());
            else
                decoded = decodeSettings(bytes, &reason);
            if (!decoded && reason.isEmpty()) reason = tr("Unbekannter Fehler");
        }
    }

    if (decoded) {
        result.settings = std::move(decoded->settings);
        result.droppedUnreadableKey = decoded->droppedUnreadableKey;
        return result;
    }

    result.failed = true;
    QString message =
        tr("Die Einstellungen konnten nicht geladen werden (%1). Es werden Standardwerte verwendet.")
            .arg(reason);
    if (!backUpDamagedFile()) {
        m_protectDamagedFile = true;
        message += u' ' + tr("Die beschädigte Datei konnte nicht gesichert werden und wird bis zum nächsten "
                             "Start nicht überschrieben; Änderungen werden so lange nicht gespeichert.");
    }
    setLastError(message);
    return result;
}

// Copies the damaged file beside itself. The copy goes to a temporary name
// first and then replaces the old backup in one step, so a failed copy never
// costs the previous backup either.
bool SettingsService::backUpDamagedFile() {
    const QString backup = backupFilePath();
    const QString temporary = backup + QStringLiteral(".neu");
    QFile::remove(temporary);
    if (!QFile::copy(settingsFilePath(), temporary)) {
        QFile::remove(temporary);
        return false;
    }
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(backup).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Writing

QByteArray SettingsService::encode(const AppSettings& settings) {
    return encodeSettings(settings);
}

bool SettingsService::write(const QByteArray& data) {
    if (m_protectDamagedFile) {
        setLastError(
            saveFailed(tr("Die beschädigte Einstellungsdatei konnte nicht gesichert werden und bleibt "
                          "deshalb unverändert.")));
        return false;
    }
    if (!QDir().mkpath(m_storageDirectory)) {
        setLastError(saveFailed(folderNotCreated(m_storageDirectory)));
        return false;
    }
    QSaveFile file(settingsFilePath());
    if (!file.open(QIODevice::WriteOnly)) {
        setLastError(saveFailed(describe(file.error())));
        return false;
    }
    if (file.write(data) != data.size()) {
        const QString reason = describe(file.error());
        file.cancelWriting();
        setLastError(saveFailed(reason));
        return false;
    }
    if (!file.commit()) {
        setLastError(saveFailed(describe(file.error())));
        return false;
    }
    setLastError(std::nullopt);
    return true;
}

bool SettingsService::save(const AppSettings& settings) {
    const QByteArray data = encode(settings);
    if (data.isEmpty()) {
        setLastError(tr("Einstellungen konnten nicht serialisiert werden."));
        return false;
    }
    std::promise<bool> done;
    std::future<bool> result = done.get_future();
    enqueue([this, &data, &done] { done.set_value(write(data)); });
    return result.get();
}

void SettingsService::writeAndNotify(QByteArray data, WriteCompletion completion) {
    enqueue([this, data = std::move(data), completion = std::move(completion)]() mutable {
        const bool ok = write(data);
        std::optional<QString> message = lastError();
        if (!completion) return;
        // Queued to this object: runs on its (the main) thread, and never
        // after the service is gone.
        QMetaObject::invokeMethod(
            this,
            [ok, message = std::move(message), completion = std::move(completion)] {
                completion(ok, message);
            },
            Qt::QueuedConnection);
    });
}

void SettingsService::waitUntilIdle() {
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    enqueue([&done] { done.set_value(); });
    finished.wait();
}

void SettingsService::enqueue(std::function<void()> task) {
    {
        std::lock_guard lock(m_queueMutex);
        m_queue.push_back(std::move(task));
    }
    m_queueWake.notify_one();
}

void SettingsService::runQueue() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(m_queueMutex);
            m_queueWake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            // Stopping still drains the queue: a write handed over must happen.
            if (m_queue.empty()) return;
            task = std::move(m_queue.front());
            m_queue.pop_front();
        }
        task();
    }
}

// ---------------------------------------------------------------------------
// Media folder

QString SettingsService::importedFileName(const QString& pickedFileName, QStringView prefix,
                                          QStringView tag) {
    QString base;
    QString extension;
    splitExtension(pickedFileName, &base, &extension);
    base.replace(u'/', u'-');
    extension = extension.isEmpty() ? QStringLiteral("dat") : extension.toLower();

    const QString head = prefix.toString() + u'-';
    const QString tail = u'-' + tag.toString() + u'.' + extension;
    const qsizetype budget = kMaxFileNameBytes - head.toUtf8().size() - tail.toUtf8().size();
    return head + cutToGraphemes(base, kMaxImportBaseGraphemes, std::max<qsizetype>(budget, 0)) + tail;
}

std::optional<QString> SettingsService::importSoundFile(const QString& pickedPath, QStringView prefix) {
    const QString media = mediaDirectory();
    if (!QDir().mkpath(media)) {
        setLastError(importFailed(folderNotCreated(media)));
        return std::nullopt;
    }
    if (!QFileInfo(pickedPath).isFile()) {
        setLastError(importFailed(tr("Keine lesbare Datei")));
        return std::nullopt;
    }
    const QString name = importedFileName(lastPathComponent(pickedPath), prefix, newUuidText().left(6));
    const QString destination = media + u'/' + name;
    QFile source(pickedPath);
    if (!source.copy(destination)) {
        setLastError(importFailed(describe(source.error())));
        return std::nullopt;
    }
    return destination;
}

void SettingsService::cleanupMedia(const QStringList& referencedPaths) {
    QSet<QByteArray> keep;
    for (const QString& path : referencedPaths) {
        const QString name = lastPathComponent(path);
        if (!name.isEmpty()) keep.insert(QFile::encodeName(name));
    }
    const QByteArray folder = QFile::encodeName(mediaDirectory());
    // At once, not on the write queue: a queued pass still waiting there
    // would delete a file the user imports meanwhile (and the temporary file
    // a copy is written through), because neither is in `referencedPaths`.
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder.toStdString()), ec);
    if (ec) return;
    // Iterating by hand: the range form throws on a failing step.
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        std::error_code statusError;
        // symlink_status: a link is judged as a link, never by its target.
        if (entry.symlink_status(statusError).type() != fs::file_type::regular || statusError) continue;
        const std::string name = entry.path().filename().native();
        if (keep.contains(QByteArray::fromStdString(name))) continue;
        std::error_code removeError;
        fs::remove(entry.path(), removeError);
    }
}

}  // namespace corvane
