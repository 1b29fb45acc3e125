#include "model/SettingsService.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextBoundaryFinder>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <future>
#include <nlohmann/json.hpp>

#include "model/SettingsCodec.h"
#include "platform/AtomicFile.h"
#include "platform/IniFile.h"
#include "platform/Text.h"
#include "platform/Uuid.h"

namespace corvane {

namespace {

constexpr int kMaxImportBaseGraphemes = 60;
// Linux file systems take at most 255 bytes per name; sixty emoji sequences
// would exceed that and make every import of such a file fail.
constexpr qsizetype kMaxFileNameBytes = 255;

// A damaged file is set aside by renaming it, which keeps every byte for
// free. Only when that is impossible is it copied, and not beyond this: a
// file that large is no settings file the user could want back.
constexpr qint64 kMaxBackupCopyBytes = 8 * 1024 * 1024;
// The clean-up reads the backup to spare the media files it names; a backup
// it cannot read in full stops the clean-up.
constexpr qint64 kMaxBackupScanBytes = kMaxBackupCopyBytes;

QString settingsFileName() {
    return QStringLiteral("settings.json");
}

QString windowStateFileName() {
    return QStringLiteral("fenster.ini");
}

QString backupFileName() {
    return settingsFileName() + QStringLiteral(".defekt.bak");
}

// Whether `bytes` (a damaged settings file) mention `name` as our encoder or
// another JSON writer would have spelt it.
bool namesFile(const QByteArray& bytes, const std::string& name) {
    if (bytes.contains(QByteArrayView(name.data(), qsizetype(name.size())))) return true;
    for (const bool ascii : {false, true}) {
        const std::string quoted = nlohmann::json(name).dump(-1, ' ', ascii, nlohmann::json::error_handler_t::replace);
        const std::string_view escaped = std::string_view(quoted).substr(1, quoted.size() - 2);
        if (bytes.contains(QByteArrayView(escaped.data(), qsizetype(escaped.size())))) return true;
    }
    return false;
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
    return m_storageDirectory + u'/' + backupFileName();
}

QString SettingsService::windowStateFilePath() const {
    return m_storageDirectory + u'/' + windowStateFileName();
}

const IniLayout& SettingsService::windowStateLayout() {
    static const IniLayout layout{QStringLiteral("CorvaneSettings"), {QStringLiteral("geometry")}};
    return layout;
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

    // Left behind by a run that was killed while it wrote, also beside a
    // file of ours that a link leads to.
    removeStrayTemporariesOf(settingsFilePath(), settingsFileKind());
    removeStrayTemporaries(m_storageDirectory, backupFileName());
    removeStrayTemporariesOf(windowStateFilePath(), iniFileKind(windowStateLayout()));

    const QString path = settingsFilePath();
    struct stat entry {};
    if (::lstat(QFile::encodeName(path).constData(), &entry) != 0 && errno == ENOENT) return result;

    QString reason;
    bool setAside = true;
    std::optional<SettingsDecodeResult> decoded;
    if (S_ISDIR(entry.st_mode)) {
        // Nothing of ours to keep, and nothing a save could replace: every
        // save says why it cannot write.
        reason = describeFileError(EISDIR);
        setAside = false;
    } else {
        // A link is followed when it leads to a settings file (the user
        // keeps the settings elsewhere); a pipe, socket or device is never
        // opened.
        const ReadOutcome read = readRegularFile(path, kMaxSettingsFileBytes);
        if (read.bytes) {
            decoded = decodeSettings(*read.bytes, &reason);
            if (!decoded && reason.isEmpty()) reason = tr("Unbekannter Fehler");
            // Someone else's JSON object decodes too (as the defaults), and
            // the first save would replace it: the link goes aside instead.
            if (decoded && S_ISLNK(entry.st_mode) && !decoded->holdsOwnKeys) {
                decoded.reset();
                reason =
                    tr("Die Verknüpfung führt zu einer Datei, die keine Einstellungen von Corvane enthält");
            }
        } else if (read.tooLarge) {
            reason = tr("Die Datei ist zu groß (%1 Bytes).").arg(QFileInfo(path).size());
        } else if (read.missing && S_ISLNK(entry.st_mode)) {
            reason = tr("Die Verknüpfung führt ins Leere");
        } else if (read.notRegular) {
            reason = describeFileError(kNotARegularFile);
        } else {
            reason = describeFileError(read.error);
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
    if (setAside && !backUpDamagedFile()) {
        m_protectDamagedFile = true;
        message += u' ' + tr("Die beschädigte Datei konnte nicht gesichert werden und wird bis zum nächsten "
                             "Start nicht überschrieben; Änderungen werden so lange nicht gespeichert.");
    }
    setLastError(message);
    return result;
}

// Moves the damaged file aside under the backup name, replacing an older
// backup. A link is renamed itself, so whatever it leads to stays untouched.
// Only a regular file that cannot be renamed (a mount point, a foreign file
// in a sticky folder) is copied instead, within a bound.
bool SettingsService::backUpDamagedFile() {
    const QByteArray from = QFile::encodeName(settingsFilePath());
    const QByteArray to = QFile::encodeName(backupFilePath());
    if (std::rename(from.constData(), to.constData()) == 0) return true;
    struct stat entry {};
    if (::lstat(from.constData(), &entry) != 0 || !S_ISREG(entry.st_mode)) return false;
    return copyRegularFile(settingsFilePath(), backupFilePath(), kMaxBackupCopyBytes).ok();
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
    // The user keeps the file elsewhere: the settings file the link leads to
    // is replaced, beside itself. A link to anything else is never written
    // through; start-up sets such a link aside, so one here was changed
    // while the program ran, and the user hears of it at once.
    const WriteTarget target = writeTargetOf(settingsFilePath(), settingsFileKind());
    if (target.isLink && !target.followed) {
        setLastError(saveFailed(tr("„%1“ ist eine Verknüpfung, die zu keiner Einstellungsdatei führt")
                                    .arg(QDir::toNativeSeparators(settingsFilePath()))));
        return false;
    }
    const WriteOutcome written = replaceFile(target.path, data);
    if (!written.ok()) {
        setLastError(saveFailed(describeFileError(written.error)));
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

std::optional<QString> SettingsService::importSoundFile(const QString& pickedPath, QStringView prefix,
                                                        std::optional<QString>* failure) {
    const auto fail = [&](const QString& reason) -> std::optional<QString> {
        const QString message = importFailed(reason);
        setLastError(message);
        if (failure) *failure = message;
        return std::nullopt;
    };
    const QString media = mediaDirectory();
    if (!QDir().mkpath(media)) return fail(folderNotCreated(media));
    const QString base = lastPathComponent(pickedPath);
    QString destination;
    // The copy would replace a file of the same name, which another setting
    // may use: a tag that is taken is drawn anew.
    for (int attempt = 0; attempt < 8 && destination.isEmpty(); ++attempt) {
        const QString candidate = media + u'/' + importedFileName(base, prefix, newUuidText().left(6));
        struct stat entry {};
        if (::lstat(QFile::encodeName(candidate).constData(), &entry) != 0 && errno == ENOENT)
            destination = candidate;
    }
    if (destination.isEmpty()) return fail(describeFileError(EEXIST));
    const WriteOutcome copied = copyRegularFile(pickedPath, destination);
    if (!copied.ok()) return fail(describeFileError(copied.error));
    if (failure) failure->reset();
    return destination;
}

void SettingsService::cleanupMedia(const QStringList& referencedPaths) {
    QSet<QByteArray> keep;
    for (const QString& path : referencedPaths) {
        const QString name = lastPathComponent(path);
        if (!name.isEmpty()) keep.insert(QFile::encodeName(name));
    }
    // Restoring the backup of a damaged file must find the files it names.
    // What it names is read from its bytes, since it rarely decodes; a
    // backup that cannot be read in full leaves every file where it is.
    std::optional<QByteArray> backup;
    {
        const ReadOutcome read = readRegularFile(backupFilePath(), kMaxBackupScanBytes);
        if (read.bytes)
            backup = std::move(read.bytes);
        else if (!read.missing && !read.notRegular)
            return;
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
        if (backup && namesFile(*backup, name)) continue;
        std::error_code removeError;
        fs::remove(entry.path(), removeError);
    }
}

}  // namespace corvane
