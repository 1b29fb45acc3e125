// Costs on the clock grid's tick path: the layout search, a tick that changes
// nothing visible, a tick of 24 named analog clocks with their long
// captions (nothing of the captions may be measured or allocated then), a
// re-layout that fits those captions anew, and a full repaint of 24 analog
// cells.
#include "BenchMain.h"
#include "CountingAllocator.h"
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "shell/grid/ClockGrid.h"
#include "shell/grid/GridLayout.h"

using namespace corvane;

namespace {

std::vector<GridClock> clocks(int n) {
    std::vector<GridClock> out;
    for (int i = 0; i < n; ++i) {
        ClockEntry e;
        e.id = QStringLiteral("ID-%1").arg(i);
        e.timeZoneID = i % 2 ? "Europe/Berlin" : "Asia/Tokyo";
        out.push_back(GridClock::from(e, QStringLiteral("Uhr %1").arg(i), QStringLiteral("Heute")));
    }
    return out;
}

void BM_ChooseLayout24(benchmark::State& state) {
    double w = 1280;
    for (auto _ : state) {
        benchmark::DoNotOptimize(chooseGridLayout({w, 800}, 10, 24, ClockDisplayMode::analog));
        w = w > 1300 ? 1280 : w + 1;
    }
}
BENCHMARK(BM_ChooseLayout24);

void BM_DigitalTickSameSecond24(benchmark::State& state) {
    ClockGrid grid;
    grid.resize(1280, 800);
    grid.setOptions({ClockDisplayMode::digital, DialStyle::classic, false, QString(), 120});
    grid.setClocks(clocks(24));
    const qint64 base = 1'773'000'000'000;
    grid.setNow(base);
    qint64 t = base;
    for (auto _ : state) {
        t = t == base + 900 ? base : t + 40;
        grid.setNow(t);
    }
}
BENCHMARK(BM_DigitalTickSameSecond24);

// Clocks as users have them: named, in six zones, the zone line with the date.
std::vector<GridClock> namedClocks(int n) {
    const char* zones[] = {"Europe/Berlin", "America/New_York", "Asia/Tokyo",
                           "Europe/London", "Australia/Sydney", "America/Los_Angeles"};
    const char* names[] = {"Zuhause", "Büro New York", "Tokio", "London", "Sydney", "Kalifornien"};
    const char* lines[] = {"Mitteleuropäische Zeit · UTC+1 · Fr., 11. Dez.",
                           "Nordamerikanische Ostküstenzeit · UTC−5 · Do., 10. Dez.",
                           "Japanische Normalzeit · UTC+9 · Fr., 11. Dez.", "Mittlere Greenwich-Zeit · UTC+0 · Fr., 11. Dez.",
                           "Ostaustralische Sommerzeit · UTC+11 · Fr., 11. Dez.",
                           "Nordamerikanische Westküstenzeit · UTC−8 · Do., 10. Dez."};
    std::vector<GridClock> out;
    for (int i = 0; i < n; ++i) {
        ClockEntry e;
        e.id = QStringLiteral("ID-%1").arg(i);
        e.timeZoneID = zones[i % 6];
        out.push_back(GridClock::from(e, QString::fromUtf8(names[i % 6]), QString::fromUtf8(lines[i % 6])));
    }
    return out;
}

void BM_AnalogTickNamed24(benchmark::State& state) {
    ClockGrid grid;
    grid.resize(1280, 800);
    grid.setClocks(namedClocks(24));
    qint64 t = 1'773'000'000'000;
    grid.setNow(t);
    long long ticks = 0;
    const long long before = corvane::bench::allocationCount();
    for (auto _ : state) {
        t += 40;
        grid.setNow(t);
        ++ticks;
    }
    state.counters["allocs_per_tick"] =
        ticks ? double(corvane::bench::allocationCount() - before) / double(ticks) : 0.0;
}
BENCHMARK(BM_AnalogTickNamed24);

void BM_RelayoutNamed24(benchmark::State& state) {
    ClockGrid grid;
    grid.setAttribute(Qt::WA_DontShowOnScreen);
    grid.resize(1280, 800);
    grid.show();  // resizes then reach the grid at once
    grid.setClocks(namedClocks(24));
    int w = 1280;
    for (auto _ : state) {
        w = w > 1300 ? 1280 : w + 1;
        grid.resize(w, 800);
    }
}
BENCHMARK(BM_RelayoutNamed24)->Unit(benchmark::kMicrosecond);

void BM_PaintAnalogGrid24(benchmark::State& state) {
    ClockGrid grid;
    grid.resize(1280, 800);
    grid.setClocks(clocks(24));
    QImage target(1280, 800, QImage::Format_ARGB32_Premultiplied);
    qint64 t = 1'773'000'000'000;
    for (auto _ : state) {
        t += 40;
        grid.setNow(t);
        grid.render(&target);
    }
}
BENCHMARK(BM_PaintAnalogGrid24)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return corvane::bench::runWithQt<QApplication>(argc, argv); }
