// The alarm scan runs once per second on the UI thread; it should neither
// allocate nor grow with the length of the look-back window.
#include <benchmark/benchmark.h>

#include "CountingAllocator.h"

#include "services/AlarmService.h"

#include <QDateTime>

#include <vector>

namespace {

using namespace corvane;

std::vector<AlarmSettings> fourAlarms() {
    std::vector<AlarmSettings> alarms(4);
    const int times[4][2] = {{6, 30}, {7, 0}, {8, 45}, {22, 15}};
    for (int i = 0; i < 4; ++i) {
        alarms[i].isEnabled = true;
        alarms[i].hour = times[i][0];
        alarms[i].minute = times[i][1];
    }
    alarms[2].weekdays = WeekdaySet{2, 3, 4, 5, 6};
    alarms[3].weekdays = WeekdaySet{};
    return alarms;
}

// Every call sees the longest window: the previous check lies 12 hours back.
void runScan(benchmark::State& state, const TimeZoneProvider& zones) {
    AlarmService service(zones);
    long long reported = 0;
    service.onTriggered = [&reported](int, const AlarmSettings&, const QDateTime&, const QDateTime&) { ++reported; };
    const std::vector<AlarmSettings> alarms = fourAlarms();
    // One year that holds both daylight-saving changes, replayed: far-future
    // years would measure Qt's rule extrapolation instead of our scan.
    const qint64 first = QDateTime::fromString(QStringLiteral("2026-01-01T12:00:00Z"), Qt::ISODate).toMSecsSinceEpoch();
    const qint64 last = first + 365 * kMSecsPerDay;
    qint64 now = first;
    service.check(QDateTime::fromMSecsSinceEpoch(now, Qt::UTC), alarms);  // sizes the table once

    const long long before = corvane::bench::allocationCount();
    for (auto _ : state) {
        now += AlarmService::kMaxLookBackMSecs;
        if (now > last) {
            state.PauseTiming();
            now = first;
            service.check(QDateTime::fromMSecsSinceEpoch(now - AlarmService::kMaxLookBackMSecs, Qt::UTC), alarms);
            state.ResumeTiming();
        }
        service.check(QDateTime::fromMSecsSinceEpoch(now, Qt::UTC), alarms);
    }
    const long long allocations = corvane::bench::allocationCount() - before;
    state.counters["allocs/call"] = benchmark::Counter(double(allocations) / double(state.iterations()));
    state.counters["reports"] = benchmark::Counter(double(reported));
}

void BM_AlarmCheck12hFixedZone(benchmark::State& state) {
    FixedTimeZoneProvider zones("Europe/Berlin");
    runScan(state, zones);
}
BENCHMARK(BM_AlarmCheck12hFixedZone);

// What the program pays in real use: the system zone is asked on every call.
void BM_AlarmCheck12hSystemZone(benchmark::State& state) {
    runScan(state, SystemTimeZoneProvider::instance());
}
BENCHMARK(BM_AlarmCheck12hSystemZone);

}  // namespace

BENCHMARK_MAIN();
