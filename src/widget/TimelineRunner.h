#pragma once

// The host's side of the timeline: shows the entry that is due, sleeps until
// the next one is, and asks the provider for a new timeline after the last
// entry or when the snapshot changed.

#include "widget/ClockProvider.h"

#include <QObject>

namespace corvane {

class Clock;
class WallClockAlarm;

class TimelineRunner : public QObject {
    Q_OBJECT
public:
    TimelineRunner(const ClockProvider& provider, const Clock& clock, WallClockAlarm& alarm,
                   QObject* parent = nullptr);

    // Until the first timeline arrives the sample is shown, as the host does
    // while a widget loads.
    const ClockEntryW& entry() const { return entry_; }
    int timelineRequests() const { return requests_; }

    // A fresh timeline now: at start, and when the snapshot changed.
    void reload();
    // Looks at the wall clock again and shows whatever is due then: on every
    // wake, and after a resume or a clock step. Asks for a new timeline when
    // the time lies outside the current one.
    void recheck();

Q_SIGNALS:
    // The entry shown is a different one (another minute or snapshot).
    void entryChanged();

private:
    void showDue(qint64 now);

    const ClockProvider& provider_;
    const Clock& clock_;
    WallClockAlarm& alarm_;
    Timeline timeline_;
    ClockEntryW entry_;
    int requests_ = 0;
};

}  // namespace corvane
