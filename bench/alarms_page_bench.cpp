// What the open alarms page adds to the model's tick: the fast tick (25 per
// second) and the once-a-second work, with and without the page, and the
// heap allocations per tick. The page should add next to nothing between
// minutes; on the minute it refreshes its four cards (measured apart).

#include "BenchMain.h"
#include <benchmark/benchmark.h>

#include "CountingAllocator.h"

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

#include "appmodel/AppModel.h"
#include "appmodel/FakeTimers.h"
#include "platform/Appearance.h"
#include "platform/SleepInhibitor.h"
#include "platform/TimeZoneWatcher.h"
#include "platform/UserName.h"
#include "platform/WidgetReload.h"
#include "platform/system/FakeSoundPlayer.h"
#include "platform/system/SchemeHandler.h"
#include "settings/AlarmsPage.h"

#include "BenchStubs.h"

using namespace corvane;

namespace {

class NoRadio final : public UrlSchemeHandler {
public:
    bool hasHandler() const override { return true; }
    bool open(const QUrl&) override { return false; }
};

struct Setup {
    QTemporaryDir dir;
    FakeClock clock{QDateTime(QDate(2026, 3, 10), QTime(9, 0, 0), Qt::UTC).toMSecsSinceEpoch(), 1000.0};
    FixedTimeZoneProvider zones{"Europe/Berlin"};
    NoRadio radio;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<AlarmsPage> page;

    explicit Setup(bool withPage) {
        {
            AppSettings s = AppSettings::defaults();  // analog, smooth second hand: the fast rate
            s.alarms[0].isEnabled = true;
            s.alarms[1].isEnabled = true;
            s.alarms[1].wakeWithRadio = true;
            SettingsService(AppPaths::under(dir.path())).save(s);
        }
        AppModelDeps deps = bench::quietDeps(dir.path(), clock, zones);
        deps.radioSchemeHandler = &radio;
        model = std::make_unique<AppModel>(std::move(deps));
        model->start();
        if (withPage) {
            page = std::make_unique<AlarmsPage>(*model);
            page->resize(700, 1200);
            page->show();
            QCoreApplication::processEvents();
        }
    }
};

// Ticks inside one wall second (only the every-tick part) or one per second
// within one minute (the per-second work as well), never crossing a minute.
void runTicks(benchmark::State& state, bool withPage, int stepMs) {
    Setup setup(withPage);
    const qint64 base = setup.clock.wallMSecs() + 100;
    setup.clock.setWall(base);
    setup.model->tick();
    QCoreApplication::processEvents();
    long long ticks = 0;
    const long long before = corvane::bench::allocationCount();
    for (auto _ : state) {
        setup.clock.setWall(base + (ticks % 45) * stepMs);
        setup.model->tick();
        ++ticks;
    }
    const long long allocations = corvane::bench::allocationCount() - before;
    state.counters["allocs_per_tick"] = ticks ? double(allocations) / double(ticks) : 0.0;
}

void BM_FastTickWithoutPage(benchmark::State& state) { runTicks(state, false, 20); }
void BM_FastTickWithAlarmsPage(benchmark::State& state) { runTicks(state, true, 20); }
void BM_SecondTickWithoutPage(benchmark::State& state) { runTicks(state, false, 1000); }
void BM_SecondTickWithAlarmsPage(benchmark::State& state) { runTicks(state, true, 1000); }

// The page's work when the minute turns: every card's texts and controls.
void BM_MinuteRefreshOfThePage(benchmark::State& state) {
    Setup setup(true);
    qint64 minute = 0;
    for (auto _ : state) {
        setup.clock.setWall(setup.clock.wallMSecs() + 60'000);
        setup.model->tick();
        ++minute;
    }
    state.counters["minutes"] = double(minute);
}

}  // namespace

BENCHMARK(BM_FastTickWithoutPage);
BENCHMARK(BM_FastTickWithAlarmsPage);
// 45 seconds, one minute: the clock never runs backwards.
BENCHMARK(BM_SecondTickWithoutPage)->Iterations(45);
BENCHMARK(BM_SecondTickWithAlarmsPage)->Iterations(45);
BENCHMARK(BM_MinuteRefreshOfThePage)->Iterations(200);

int main(int argc, char** argv) { return corvane::bench::runWithQt<QApplication>(argc, argv); }
