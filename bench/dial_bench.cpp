// One frame of a full clock grid: 24 dials of 200 points, the hands moving as
// with a smooth second hand. "Cached" reuses the faces as every frame after
// the first does; "Uncached" paints every face anew.

#include "BenchMain.h"
#include "dial/AnalogClock.h"
#include "dial/FaceCache.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <vector>

using namespace corvane;

namespace {

constexpr int kDials = 24;
constexpr int kColumns = 6;
constexpr double kSide = 200;

std::vector<AnalogClock> grid() {
    std::vector<AnalogClock> clocks(kDials);
    for (int i = 0; i < kDials; ++i) {
        AnalogClock& c = clocks[std::size_t(i)];
        c.style = allCases<DialStyle>()[std::size_t(i) % allCases<DialStyle>().size()];
        c.smoothSeconds = true;
        c.time = DialTime{(i * 5) % 24, (i * 7) % 60, 0, 0};
        if (i % 3 == 1) c.faceRGB = RGB{std::uint8_t(40 + 8 * i), 80, 120};
    }
    return clocks;
}

void frame(QImage& target, std::vector<AnalogClock>& clocks, FaceCache* cache, int step) {
    target.fill(Qt::transparent);
    QPainter p(&target);
    for (int i = 0; i < kDials; ++i) {
        AnalogClock& c = clocks[std::size_t(i)];
        c.time.second = step % 60;
        c.time.nanosecond = qint64(step % 25) * 40'000'000;
        const QRectF cell((i % kColumns) * kSide, (i / kColumns) * kSide, kSide, kSide);
        c.paint(p, cell, cache);
    }
}

void runFrames(benchmark::State& state, bool cached, double dpr) {
    QImage target(QSize(int(kColumns * kSide), int((kDials / kColumns) * kSide)) * dpr,
                  QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(dpr);
    std::vector<AnalogClock> clocks = grid();
    FaceCache cache;
    int step = 0;
    if (cached) frame(target, clocks, &cache, step++);  // warm up
    for (auto _ : state) {
        frame(target, clocks, cached ? &cache : nullptr, step++);
        benchmark::ClobberMemory();
    }
}

void BM_GridFrameCached(benchmark::State& state) { runFrames(state, true, 1.0); }
void BM_GridFrameUncached(benchmark::State& state) { runFrames(state, false, 1.0); }
void BM_GridFrameCachedHiDpi(benchmark::State& state) { runFrames(state, true, 2.0); }

}  // namespace

BENCHMARK(BM_GridFrameCached)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridFrameUncached)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridFrameCachedHiDpi)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return corvane::bench::runWithQt<QGuiApplication>(argc, argv); }
