// Loading the map's data files from scratch: the catalogue and both shape
// files load on first use, possibly from the model's first zone lookup at
// start-up, so together they must stay well inside one frame's budget.
#include <benchmark/benchmark.h>

#include <QFileInfo>

#include "HostileMapData.h"
#include "model/WorldCity.h"
#include "platform/Resources.h"
#include "worldmap/MapShapes.h"

namespace {

using namespace corvane;

void BM_LoadCatalogue(benchmark::State& state) {
    const QString path = resourcePath(QStringLiteral("cities.tsv"));
    for (auto _ : state) benchmark::DoNotOptimize(WorldCity::loadAll(path, u"de"));
}
BENCHMARK(BM_LoadCatalogue)->Unit(benchmark::kMillisecond);

void BM_LoadShapes(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(MapShapes::load(QStringLiteral("land")));
        benchmark::DoNotOptimize(MapShapes::load(QStringLiteral("borders")));
    }
}
BENCHMARK(BM_LoadShapes)->Unit(benchmark::kMillisecond);

void BM_LoadAllMapData(benchmark::State& state) {
    const QString path = resourcePath(QStringLiteral("cities.tsv"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(WorldCity::loadAll(path, u"de"));
        benchmark::DoNotOptimize(MapShapes::load(QStringLiteral("land")));
        benchmark::DoNotOptimize(MapShapes::load(QStringLiteral("borders")));
    }
}
BENCHMARK(BM_LoadAllMapData)->Unit(benchmark::kMillisecond);

// The largest catalogue that is read, in the costliest language.
void BM_LoadCatalogueAtCap(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = bench::writeFile(dir, QStringLiteral("cities.tsv"), bench::catalogueAtCap());
    std::size_t cities = 0;
    for (auto _ : state) cities = WorldCity::loadAll(path, u"en").size();
    state.counters["cities"] = double(cities);
    state.counters["bytes"] = double(QFileInfo(path).size());
}
BENCHMARK(BM_LoadCatalogueAtCap)->Unit(benchmark::kMillisecond);

// The largest shape files that are read (see bench::HostileShapes for the args).
void BM_LoadShapesAtCap(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = bench::writeFile(dir, QStringLiteral("land.bin"),
                                          bench::shapesAtCap(bench::HostileShapes(state.range(0))));
    std::size_t shapes = 0;
    for (auto _ : state) shapes = MapShapes::loadFile(path).size();
    state.counters["shapes"] = double(shapes);
}
BENCHMARK(BM_LoadShapesAtCap)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
