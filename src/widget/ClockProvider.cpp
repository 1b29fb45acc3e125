#include "widget/ClockProvider.h"

#include "platform/Clock.h"
#include "platform/Fonts.h"
#include "platform/Text.h"
#include "platform/TimeZones.h"

namespace corvane {

namespace {

std::shared_ptr<const WidgetSnapshot> makeSample() {
    auto sample = std::make_shared<WidgetSnapshot>();
    sample->clocks = {
        {QString(), tr("Ortszeit"), DialStyle::classic, std::nullopt},
        {QStringLiteral("America/New_York"), QStringLiteral("New York"), DialStyle::classic, std::nullopt},
        {QStringLiteral("Asia/Tokyo"), QStringLiteral("Tokyo"), DialStyle::classic, std::nullopt},
        {QStringLiteral("Australia/Sydney"), QStringLiteral("Sydney"), DialStyle::classic, std::nullopt},
    };
    sample->digital = false;
    sample->fontFamily = platformDefaultFontFamily();
    sample->theme = ThemeColors::defaultPalette();
    return sample;
}

}  // namespace

const std::shared_ptr<const WidgetSnapshot>& sampleSnapshot() {
    static const std::shared_ptr<const WidgetSnapshot> sample = makeSample();
    return sample;
}

std::shared_ptr<const WidgetSnapshot> loadSnapshot(const std::optional<QString>& filePath) {
    if (!filePath) return sampleSnapshot();
    std::optional<WidgetSnapshot> snapshot = WidgetSnapshot::read(*filePath);
    if (!snapshot) return sampleSnapshot();
    return std::make_shared<const WidgetSnapshot>(std::move(*snapshot));
}

ClockProvider::ClockProvider(std::optional<QString> snapshotFile, const Clock& clock, const TimeZoneProvider& zones)
    : file_(std::move(snapshotFile)), clock_(clock), zones_(zones) {}

ClockEntryW ClockProvider::placeholder() const {
    return {clock_.wallMSecs(), sampleSnapshot()};
}

ClockEntryW ClockProvider::getSnapshot() const {
    return {clock_.wallMSecs(), loadSnapshot(file_)};
}

Timeline ClockProvider::getTimeline() const {
    std::shared_ptr<const WidgetSnapshot> snapshot = loadSnapshot(file_);
    const qint64 now = clock_.wallMSecs();
    const qint64 start = startOfMinute(now, zones_.current());
    Timeline timeline;
    timeline.entries.reserve(kTimelineEntries);
    // Whole minutes of elapsed time: across a change to or from summer time
    // the wall clock jumps, but every entry still lasts one real minute.
    for (int i = 0; i < kTimelineEntries; ++i)
        timeline.entries.push_back({start + i * kEntrySpacingMSecs, snapshot});
    return timeline;
}

qint64 ClockProvider::startOfMinute(qint64 utcMSecs, const QTimeZone& zone) {
    // Offsets of old local mean times are not whole minutes, so the minute is
    // cut on the wall clock rather than on UTC.
    const qint64 local = utcMSecs + qint64(utcOffsetSecs(zone, utcMSecs)) * 1000;
    return utcMSecs - (local - floorDiv(local, kEntrySpacingMSecs) * kEntrySpacingMSecs);
}

}  // namespace corvane
