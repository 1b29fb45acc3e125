// Costs on the clock grid's tick path: the layout search, a tick that changes
// nothing visible, and a full repaint of 24 analog cells.
#include "BenchMain.h"
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
