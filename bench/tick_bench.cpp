// The fast tick (25 per second) when nothing visible changed: its cost and
// how many heap allocations it makes (the aim is none).

#include "BenchMain.h"
#include <benchmark/benchmark.h>

#include "CountingAllocator.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include "appmodel/AppModel.h"
#include "appmodel/FakeTimers.h"
#include "platform/Appearance.h"
#include "platform/SleepInhibitor.h"
#include "platform/TimeZoneWatcher.h"
#include "platform/UserName.h"
#include "platform/WidgetReload.h"
#include "platform/system/FakeSoundPlayer.h"

#include "BenchStubs.h"

using namespace corvane;

namespace {


struct Setup {
    QTemporaryDir dir;
    FakeClock clock{QDateTime(QDate(2026, 3, 10), QTime(9, 0, 0), Qt::UTC).toMSecsSinceEpoch(), 1000.0};
    FixedTimeZoneProvider zones{"Europe/Berlin"};
    std::unique_ptr<AppModel> model;

    explicit Setup(bool timersRun) {
        {
            AppSettings s = AppSettings::defaults();  // analog with a smooth second hand: the fast rate
            SettingsService(AppPaths::under(dir.path())).save(s);
        }
        AppModelDeps deps = bench::quietDeps(dir.path(), clock, zones);
        model = std::make_unique<AppModel>(std::move(deps));
        model->start();
        if (timersRun) {
            model->countdownServices()[0].start(3600);
            model->stopwatchServices()[1].start();
            model->stopwatchServices()[1].pause();
        }
    }
};

void runTicks(benchmark::State& state, bool timersRun) {
    Setup setup(timersRun);
    if (setup.model->rate() != AppModel::TickRate::fast) state.SkipWithError("not at the fast rate");
    // Stay inside one wall second: only the every-tick part runs.
    const qint64 base = setup.clock.wallMSecs() + 100;
    setup.clock.setWall(base);
    setup.model->tick();
    long long ticks = 0;
    const long long before = corvane::bench::allocationCount();
    for (auto _ : state) {
        setup.clock.setWall(base + (ticks % 20) * 40);
        setup.model->tick();
        ++ticks;
    }
    const long long allocations = corvane::bench::allocationCount() - before;
    state.counters["allocs_per_tick"] = ticks ? double(allocations) / double(ticks) : 0.0;
}

void BM_FastTickIdle(benchmark::State& state) {
    runTicks(state, false);
}
void BM_FastTickCountdownRunningStopwatchPaused(benchmark::State& state) {
    runTicks(state, true);
}

}  // namespace

BENCHMARK(BM_FastTickIdle);
BENCHMARK(BM_FastTickCountdownRunningStopwatchPaused);

int main(int argc, char** argv) { return corvane::bench::runWithQt<QCoreApplication>(argc, argv); }
