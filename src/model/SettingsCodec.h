#pragma once

// settings.json: one AppSettings value as a JSON object.
//
// Writing is plain and complete. Reading is tolerant: every key is read on
// its own, and a key that is missing or cannot be read (null where a value is
// required, the wrong JSON type, a text that names no case, a number that
// does not fit: an integer out of range, or any number beyond the double
// range) keeps its default without touching the other keys. Numbers
// are then clamped to their ranges, files of the older layout ("Alarm1",
// "Alarm2", "CountdownDurationSeconds", "CountdownSound") are migrated, and
// the result goes through AppSettings::normalize().
//
// Only a file that cannot be taken as a settings object fails as a whole:
// not JSON, a top level that is not an object, and also (so that a hostile
// file can neither exhaust the stack nor the memory) one nested deeper than
// kMaxSettingsNesting levels or larger than kMaxSettingsFileBytes. The caller
// then keeps a backup of the file and uses the defaults.

#include <QByteArray>
#include <QString>
#include <optional>

#include "model/Settings.h"
#include "platform/AtomicFile.h"

namespace corvane {

// A real settings file is four levels deep and some ten KB long.
inline constexpr int kMaxSettingsNesting = 64;
inline constexpr qsizetype kMaxSettingsFileBytes = 1024 * 1024;

struct SettingsDecodeResult {
    AppSettings settings;
    // A key that was present could not be read and its field kept the default
    // (an unreadable list is dropped whole). Whoever cleans up files that the
    // settings reference must not trust this value to name all of them.
    bool droppedUnreadableKey = false;
    // The object is empty or holds at least one top-level key of ours; any
    // other object is someone else's file, though it decodes (as defaults).
    bool holdsOwnKeys = false;
};

// nullopt: not decodable at all; `error` then gets a short reason.
std::optional<SettingsDecodeResult> decodeSettings(const QByteArray& json, QString* error = nullptr);

// Whether `content` is a settings file of ours: it decodes, and holdsOwnKeys.
// Only to such a file is a link at settings.json followed.
bool isSettingsFileContent(const QByteArray& content);
OwnFileKind settingsFileKind();

// Pretty-printed UTF-8 JSON with the keys in their fixed order, absent
// optional fields left out, and non-finite numbers written as "NaN",
// "Infinity" and "-Infinity". An empty result means the encoder failed.
QByteArray encodeSettings(const AppSettings& settings);

}  // namespace corvane
