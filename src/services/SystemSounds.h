#pragma once

#include "model/Settings.h"

#include <QString>
#include <QStringList>

#include <unicode/locid.h>

#include <optional>

namespace corvane {

// The folders searched for system sounds, in order: the desktop's sound
// theme, the shared sound folder, the user's own sound folder. Built once.
const QStringList& systemSoundFolders();

// Lower-case extensions a sound file may have: what the decoder plays.
const QStringList& soundExtensions();

// True when `fileName`'s extension (after its last dot) is a sound extension,
// in any case.
bool hasSoundExtension(const QString& fileName);

// 0 for names beginning with "alarm", 1 for "ring", 2 for the rest; expects
// a lower-cased name.
int systemSoundRank(const QString& lowerCaseName);

// Sorts by rank, then by `locale`'s case-insensitive collation; names that
// collate equal ("basso.aiff", "Basso.AIFF") keep a fixed order by code
// point so both stay and the list never shuffles.
void sortSoundNames(QStringList& names, const icu::Locale& locale);

// The sound files (regular files with a sound extension) in `folders`, each
// name once, sorted as above. Unreadable folders contribute nothing.
QStringList listSoundFolders(const QStringList& folders, const icu::Locale& locale);

// The path of the first regular file called `name` in `folders`. A name that
// is empty, contains a slash or names a folder ("." and ".." included) finds
// nothing.
std::optional<QString> findSoundIn(const QStringList& folders, const QString& name);

// listSoundFolders over systemSoundFolders in the display locale, scanned on
// first use and kept for the life of the process.
const QStringList& systemSounds();

std::optional<QString> findSystemSound(const QString& name);

// `name`, unless no folder holds it and it is one of another system's sound
// files that have a counterpart here: then that counterpart.
QString systemSoundNameHere(const QString& name, const QStringList& folders = systemSoundFolders());

// Every system sound name of `settings` through systemSoundNameHere, so a
// settings file written on another system stops pointing at files this
// computer never had. Nothing else of the settings changes.
void useSoundsOfThisComputer(AppSettings& settings, const QStringList& folders = systemSoundFolders());

}  // namespace corvane
