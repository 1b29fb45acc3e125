#pragma once

// System seams the benchmarks' models get instead of the desktop's: nothing
// is inhibited and no widget is told to reload.

#include <QString>
#include <memory>

#include "appmodel/AppModel.h"
#include "appmodel/FakeTimers.h"
#include "platform/Appearance.h"
#include "platform/SleepInhibitor.h"
#include "platform/TimeZoneWatcher.h"
#include "platform/UserName.h"
#include "platform/WidgetReload.h"
#include "platform/system/FakeSoundPlayer.h"

namespace corvane::bench {

class NoInhibitor final : public SleepInhibitor {
public:
    void acquire(const QString&) override {}
    void release() override {}
};

class NoReload final : public WidgetReloader {
public:
    void reloadTimelines(const QString&) override {}
};

// A model's seams for a benchmark: files under `dataDir`, the given clock and
// zone, fake timers, sound and appearance, nothing from the desktop.
inline AppModelDeps quietDeps(const QString& dataDir, FakeClock& clock, TimeZoneProvider& zones) {
    AppModelDeps deps;
    deps.paths = AppPaths::under(dataDir);
    deps.clock = &clock;
    deps.zones = &zones;
    deps.timers = std::make_unique<FakeTimerFactory>(clock);
    deps.appearance = std::make_unique<FakeSystemAppearance>(true);
    deps.soundFactory = std::make_unique<FakeSoundPlayerFactory>();
    deps.inhibitor = std::make_unique<NoInhibitor>();
    deps.widgetReload = std::make_unique<NoReload>();
    deps.zoneWatcher = std::make_unique<FakeTimeZoneWatcher>();
    deps.accountNames = [] { return AccountNames{QStringLiteral("Anna Schmidt"), QStringLiteral("anna")}; };
    return deps;
}

}  // namespace corvane::bench
