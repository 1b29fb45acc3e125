// The clock texts are formatted on every tick that crosses a second, for up to
// 24 zones: a kept formatter must not rebuild anything per call.
#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QTimeZone>

#include "model/Locale.h"

namespace {

using corvane::DateFormatter;

void BM_KeptFormatter(benchmark::State& state, const char* zone, const char* pattern, bool isTemplate) {
    const QTimeZone tz{QByteArray(zone)};
    const auto formatter = isTemplate ? DateFormatter::withTemplate(QString::fromLatin1(pattern), tz)
                                      : DateFormatter::withPattern(QString::fromLatin1(pattern), tz);
    qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatter.formatMSecs(now));
        now += 1000;
    }
}

BENCHMARK_CAPTURE(BM_KeptFormatter, time_berlin, "Europe/Berlin", "HH:mm:ss", false);
BENCHMARK_CAPTURE(BM_KeptFormatter, long_date_berlin, "Europe/Berlin", "EEEEdMMMMyyyy", true);
BENCHMARK_CAPTURE(BM_KeptFormatter, short_date_almaty, "Asia/Almaty", "EEdMMM", true);

// What a formatter made afresh per call would cost, for comparison.
void BM_FreshFormatter(benchmark::State& state) {
    const QTimeZone tz{QByteArray("Europe/Berlin")};
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (auto _ : state) {
        benchmark::DoNotOptimize(corvane::makeDateFormatter(u"EEEEdMMMMyyyy", tz).formatMSecs(now));
    }
}
BENCHMARK(BM_FreshFormatter);

}  // namespace

BENCHMARK_MAIN();
