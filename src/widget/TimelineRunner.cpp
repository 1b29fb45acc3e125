#include "widget/TimelineRunner.h"

#include "platform/Clock.h"
#include "widget/WallClockAlarm.h"

#include <algorithm>

namespace corvane {

TimelineRunner::TimelineRunner(const ClockProvider& provider, const Clock& clock, WallClockAlarm& alarm,
                               QObject* parent)
    : QObject(parent), provider_(provider), clock_(clock), alarm_(alarm), entry_(provider.placeholder()) {
    connect(&alarm_, &WallClockAlarm::rang, this, &TimelineRunner::recheck);
}

void TimelineRunner::reload() {
    timeline_ = provider_.getTimeline();
    ++requests_;
    showDue(clock_.wallMSecs());
}

void TimelineRunner::recheck() {
    const qint64 now = clock_.wallMSecs();
    const auto& entries = timeline_.entries;
    const bool outside = entries.empty() || now < entries.front().date ||
                         now >= entries.back().date + ClockProvider::kEntrySpacingMSecs;
    if (outside) {
        reload();
        return;
    }
    showDue(now);
}

void TimelineRunner::showDue(qint64 now) {
    const auto& entries = timeline_.entries;
    if (entries.empty()) return;
    // The last entry whose minute has begun; before the first one (the clock
    // was set back since the timeline was made) the first stands in.
    auto due = std::upper_bound(entries.begin(), entries.end(), now,
                                [](qint64 t, const ClockEntryW& e) { return t < e.date; });
    if (due != entries.begin()) --due;
    // A reload after an unrelated change in the shared folder decodes the
    // same snapshot again: that is no reason to repaint.
    const bool sameSnapshot = due->snapshot == entry_.snapshot ||
                              (due->snapshot && entry_.snapshot && *due->snapshot == *entry_.snapshot);
    const bool changed = due->date != entry_.date || !sameSnapshot;
    entry_ = *due;

    const auto next = due + 1;
    const qint64 wake = next != entries.end() ? next->date : entries.back().date + ClockProvider::kEntrySpacingMSecs;
    alarm_.arm(wake);
    if (changed) Q_EMIT entryChanged();
}

}  // namespace corvane
