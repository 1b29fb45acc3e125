#pragma once

// The widget's timeline: which snapshot to show at which minute. The host
// window asks for a timeline, shows the entry that is due and sleeps until
// the next one; it asks again after the last entry or when told the snapshot
// changed.

#include "model/WidgetSnapshot.h"

#include <QString>
#include <QTimeZone>
#include <QtGlobal>

#include <memory>
#include <optional>
#include <vector>

namespace corvane {

class Clock;
class TimeZoneProvider;

struct ClockEntryW {
    qint64 date = 0;  // the minute the entry stands for, ms since the epoch (UTC)
    // Shared by all entries of one timeline; never null.
    std::shared_ptr<const WidgetSnapshot> snapshot;
};

struct Timeline {
    // One minute apart; the host asks for a new timeline once the last entry's
    // minute is over.
    std::vector<ClockEntryW> entries;
};

// Ortszeit, New York, Tokyo and Sydney on classic dials in the default
// palette: what the widget shows when Corvane never ran or its file is
// unusable. Built once, safe to call from any thread.
const std::shared_ptr<const WidgetSnapshot>& sampleSnapshot();

// The snapshot in `filePath`, or the sample when there is no path, no file or
// no readable snapshot in it. Never fails and never reports: a broken file
// must not show up on the desktop as an error.
std::shared_ptr<const WidgetSnapshot> loadSnapshot(const std::optional<QString>& filePath);

class ClockProvider {
public:
    static constexpr int kTimelineEntries = 120;
    static constexpr qint64 kEntrySpacingMSecs = 60'000;

    // `snapshotFile` is the path of widget.json (absent when there is no
    // shared folder). The clock and the zone provider are kept by reference.
    ClockProvider(std::optional<QString> snapshotFile, const Clock& clock, const TimeZoneProvider& zones);

    // The sample at the current time; never touches the file.
    ClockEntryW placeholder() const;
    // The file's snapshot at the current time, decoded anew.
    ClockEntryW getSnapshot() const;
    // 120 entries from the start of the current minute, decoded anew.
    Timeline getTimeline() const;

    // The start of the minute of `utcMSecs` on the wall clock of `zone`.
    static qint64 startOfMinute(qint64 utcMSecs, const QTimeZone& zone);

private:
    std::optional<QString> file_;
    const Clock& clock_;
    const TimeZoneProvider& zones_;
};

}  // namespace corvane
