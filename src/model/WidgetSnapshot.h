#pragma once

// widget.json: what the desktop widget shows of the user's clocks. The widget
// is a separate program that shares nothing with us at run time but this file
// in the shared folder: the program writes it with WidgetSnapshot::write, the
// widget reads it with WidgetSnapshot::read.

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "model/Settings.h"
#include "model/Theme.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace corvane {

struct WidgetSnapshot {
    struct Clock {
        QString timeZoneID;  // empty: the computer's current zone
        QString title;
        DialStyle dial = DialStyle::classic;
        std::optional<QString> face;  // own face colour as hex text, as typed

        friend bool operator==(const Clock&, const Clock&) = default;
    };

    std::vector<Clock> clocks;  // in the user's order
    bool digital = false;
    QString fontFamily;
    ThemeColors theme;
    std::optional<QString> nextAlarm;  // absent when no alarm is armed

    friend bool operator==(const WidgetSnapshot&, const WidgetSnapshot&) = default;

    static constexpr const char* kFileName = "widget.json";
    // A real snapshot is a few hundred bytes per clock; anything beyond this
    // is not ours and is not even read.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;
    static constexpr int kMaxNesting = 64;

    // Full path of widget.json in the shared folder; absent when there is no
    // shared folder to put it in.
    static std::optional<QString> fileURL(const AppPaths& paths);

    // Compact UTF-8 JSON, keys in field order, absent optionals left out,
    // '/' written as "\/".
    QByteArray encode() const;
    // Absent only when the bytes are no JSON object with a list of clocks, or
    // when that list held clocks and not one of them is readable. Every other
    // value that is missing or of another type costs that field alone: it
    // takes its default (no face, no alarm line, an empty title, the classic
    // dial, analog, the system font, the default palette or, for one colour,
    // that colour of the plain light or dark palette), and a clock whose zone
    // is not a text is left out.
    static std::optional<WidgetSnapshot> decode(const QByteArray& bytes);

    // The snapshot in the file; absent when the file is missing, not a regular
    // file, larger than kMaxFileBytes or not a snapshot.
    static std::optional<WidgetSnapshot> read(const QString& filePath);
    static std::optional<WidgetSnapshot> read(const AppPaths& paths);

    // Writes the snapshot atomically, creating the shared folder if needed,
    // but only when the file does not already hold exactly these bytes. True
    // only when the file was written: the caller asks the widget to reload
    // then and only then.
    static bool write(const WidgetSnapshot& snapshot, const AppPaths& paths);

    // What counts as a snapshot file of ours: one that decodes.
    static OwnFileKind fileKind();
};

}  // namespace corvane
