// Loading the map's data files from scratch: the catalogue and both shape
// files load on first use, possibly from the model's first zone lookup at
// start-up, so together they must stay well inside one frame's budget.
#include <benchmark/benchmark.h>

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

}  // namespace

BENCHMARK_MAIN();
