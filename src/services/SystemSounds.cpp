#include "services/SystemSounds.h"

#include "model/Locale.h"
#include "platform/DefaultSounds.h"
#include "platform/system/AudioDecoder.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include <unicode/coll.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace corvane {

const QStringList& systemSoundFolders() {
    static const QStringList folders = [] {
        QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (dataHome.isEmpty()) dataHome = QDir::homePath() + QStringLiteral("/.local/share");
        return QStringList{QStringLiteral("/usr/share/sounds/freedesktop/stereo"), QStringLiteral("/usr/share/sounds"),
                           dataHome + QStringLiteral("/sounds")};
    }();
    return folders;
}

const QStringList& soundExtensions() { return decodableExtensions(); }

bool hasSoundExtension(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return false;
    const QString extension = fileName.mid(dot + 1).toLower();
    return soundExtensions().contains(extension);
}

int systemSoundRank(const QString& lowerCaseName) {
    if (lowerCaseName.startsWith(QLatin1String("alarm"))) return 0;
    if (lowerCaseName.startsWith(QLatin1String("ring"))) return 1;
    return 2;
}

namespace {

icu::UnicodeString toIcu(const QString& s) {
    return icu::UnicodeString(reinterpret_cast<const UChar*>(s.utf16()), int32_t(s.size()));
}

}  // namespace

void sortSoundNames(QStringList& names, const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status)) collator.reset();
    // Secondary strength: accents count, case does not.
    if (collator) collator->setStrength(icu::Collator::SECONDARY);

    struct Key {
        int rank;
        QString name;
        icu::UnicodeString text;
    };
    std::vector<Key> keys;
    keys.reserve(size_t(names.size()));
    for (const QString& n : names) keys.push_back({systemSoundRank(n.toLower()), n, toIcu(n)});

    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        if (a.rank != b.rank) return a.rank < b.rank;
        int order = 0;
        if (collator) {
            UErrorCode s = U_ZERO_ERROR;
            order = collator->compare(a.text, b.text, s);
            if (U_FAILURE(s)) order = 0;
        }
        if (order == 0) order = a.name.compare(b.name, Qt::CaseInsensitive);
        if (order == 0) order = a.name.compare(b.name, Qt::CaseSensitive);
        return order < 0;
    });
    names.clear();
    for (Key& k : keys) names.append(std::move(k.name));
}

QStringList listSoundFolders(const QStringList& folders, const icu::Locale& locale) {
    QSet<QString> seen;
    QStringList names;
    for (const QString& folder : folders) {
        const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
        for (const QFileInfo& entry : entries) {
            // Only regular files (or links to them) play; a folder named
            // like a sound would only fail later as an unreadable file.
            if (!entry.isFile() || !hasSoundExtension(entry.fileName())) continue;
            if (seen.contains(entry.fileName())) continue;
            seen.insert(entry.fileName());
            names.append(entry.fileName());
        }
    }
    sortSoundNames(names, locale);
    return names;
}

std::optional<QString> findSoundIn(const QStringList& folders, const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QChar(0))) return std::nullopt;
    for (const QString& folder : folders) {
        const QString path = folder + QLatin1Char('/') + name;
        if (QFileInfo(path).isFile()) return path;
    }
    return std::nullopt;
}

const QStringList& systemSounds() {
    static const QStringList sounds = listSoundFolders(systemSoundFolders(), appLocale());
    return sounds;
}

std::optional<QString> findSystemSound(const QString& name) { return findSoundIn(systemSoundFolders(), name); }

QString systemSoundNameHere(const QString& name, const QStringList& folders) {
    const std::optional<QString> here = soundCounterpart(name);
    if (!here || findSoundIn(folders, name)) return name;
    return *here;
}

void useSoundsOfThisComputer(AppSettings& settings, const QStringList& folders) {
    const auto renew = [&](SoundSettings& sound) {
        sound.systemSoundName = systemSoundNameHere(sound.systemSoundName, folders);
    };
    for (AlarmSettings& alarm : settings.alarms) renew(alarm.sound);
    for (CountdownSettings& countdown : settings.countdowns) renew(countdown.sound);
}

}  // namespace corvane
