// The map's layers at 1600 x 630: each drawn from scratch as it is after a
// resize or when its ten-second key changes, and the kept base map drawn
// again as on every other repaint (which must not allocate).

#include "BenchMain.h"
#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <span>

#include "CountingAllocator.h"
#include "HostileMapData.h"
#include "model/WorldCity.h"
#include "worldmap/MapLayerWidgets.h"
#include "worldmap/MapLayers.h"

using namespace corvane;

namespace {

const QSize kSize(1600, 630);

qint64 moment() {
    return QDateTime::fromString(QStringLiteral("2026-12-21T00:00:00Z"), Qt::ISODate).toMSecsSinceEpoch();
}

QImage target() {
    QImage image(kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void BM_BaseMapFromScratch(benchmark::State& state) {
    benchmark::DoNotOptimize(MapShapes::land().size() +
                             MapShapes::borders().size());  // loaded once, not timed
    QImage image = target();
    for (auto _ : state) {
        QPainter p(&image);
        BaseMapLayer{QSizeF(kSize)}.draw(p);
    }
}
BENCHMARK(BM_BaseMapFromScratch)->Unit(benchmark::kMillisecond);

void BM_CachedBaseMapDraw(benchmark::State& state) {
    benchmark::DoNotOptimize(MapShapes::land().size());
    QImage image = target();
    QPainter p(&image);
    LayerPicture<BaseMapLayer> picture;
    const BaseMapLayer layer{QSizeF(kSize)};
    picture.paint(p, layer, 1.0);
    const long long before = bench::allocationCount();
    for (auto _ : state) picture.paint(p, layer, 1.0);
    state.counters["allocs/draw"] =
        benchmark::Counter(double(bench::allocationCount() - before) / double(state.iterations()));
}
BENCHMARK(BM_CachedBaseMapDraw)->Unit(benchmark::kMicrosecond);

void BM_NightRaster(benchmark::State& state) {
    qint64 t = moment();
    for (auto _ : state) {
        t += 10'000;  // a new key every time, so the kept image never answers
        benchmark::DoNotOptimize(NightLayer::makeImage(t));
    }
}
BENCHMARK(BM_NightRaster)->Unit(benchmark::kMillisecond);

// The sky of `cities` with badges on the three largest, a new key each time.
void drawSky(benchmark::State& state, std::span<const WorldCity> cities) {
    ClockMarks marks;
    for (std::size_t i = 0; i < 3 && i < cities.size(); ++i)
        marks.insert(cities[cities.size() - 1 - i].id(), int(i) + 1);
    state.counters["cities"] = double(cities.size());
    QImage image = target();
    qint64 key = mapRedrawKey(moment());
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter p(&image);
        SkyLayer{++key, QSizeF(kSize), std::nullopt, marks}.draw(p, cities);
    }
}

void BM_SkyLayerAllCities(benchmark::State& state) { drawSky(state, WorldCity::all()); }
BENCHMARK(BM_SkyLayerAllCities)->Unit(benchmark::kMillisecond);

// The base map after a resize with land and borders as costly as the caps
// let them be (see bench::HostileShapes for the args).
void BM_BaseMapFromScratchAtCap(benchmark::State& state) {
    const ShapeList shapes = MapShapes::parse(bench::shapesAtCap(bench::HostileShapes(state.range(0))));
    if (!MapShapes::withinDrawingCaps(shapes)) state.SkipWithError("the file is over the caps");
    QImage image = target();
    for (auto _ : state) {
        QPainter p(&image);
        BaseMapLayer{QSizeF(kSize)}.draw(p, shapes, shapes);
    }
}
BENCHMARK(BM_BaseMapFromScratchAtCap)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The sky with as many cities as the catalogue may hold, every ten seconds.
void BM_SkyLayerCatalogueAtCap(benchmark::State& state) {
    QTemporaryDir dir;
    drawSky(state, WorldCity::loadAll(bench::writeFile(dir, QStringLiteral("cities.tsv"), bench::catalogueAtCap()), u"de"));
}
BENCHMARK(BM_SkyLayerCatalogueAtCap)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return corvane::bench::runWithQt<QGuiApplication>(argc, argv); }
