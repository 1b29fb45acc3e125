// One pointer move over the world map: the nearest-city search over a
// catalogue of 900 cities, and the whole handling of a move onto a new city
// (search, new card, sky layer redrawn, map repainted) at 1600 px.
#include "BenchMain.h"
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <ctime>
#include <random>

#include "appmodel/AppModel.h"
#include "worldmap/CityCard.h"
#include "worldmap/MapInteraction.h"
#include "worldmap/WorldMapView.h"

using namespace corvane;

namespace {

std::vector<WorldCity> syntheticCities(int n) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> lat(-55, 80), lon(-180, 180);
    std::vector<WorldCity> cities{std::size_t(n)};
    for (int i = 0; i < n; ++i) {
        cities[std::size_t(i)].name = QStringLiteral("Stadt %1").arg(i);
        cities[std::size_t(i)].lat = lat(random);
        cities[std::size_t(i)].lon = lon(random);
        cities[std::size_t(i)].population = i;
    }
    return cities;
}

qint64 cpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void BM_NearestCity900(benchmark::State& state) {
    const std::vector<WorldCity> cities = syntheticCities(900);
    const QSizeF size(1600, 1600 * 142 / 360.0);
    double x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(nearestCity(cities, QPointF(x, 300), size));
        x = x > 1590 ? 0 : x + 7;
    }
}
BENCHMARK(BM_NearestCity900);

void BM_PointerMoveOntoNewCity(benchmark::State& state) {
    QTemporaryDir dir;
    AppModelDeps deps;
    deps.paths = AppPaths::under(dir.path());
    AppModel model(std::move(deps));
    model.tick();
    WorldMapView map(model);
    map.resize(1600, 631);
    map.show();
    QImage frame(map.size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&frame);
        map.render(&p);
    }
    const auto& all = WorldCity::all();
    if (all.size() < 2) {
        state.SkipWithError("no city catalogue found (cities.tsv)");
        return;
    }
    // The two most populous cities, taken in turns: every move shows a new card.
    const QPointF a = map.cityPoint(all[all.size() - 1]);
    const QPointF b = map.cityPoint(all[all.size() - 2]);
    bool toA = true;
    auto send = [&](QPointF at) {
        QMouseEvent move(QEvent::MouseMove, at, map.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&map, &move);
    };
    send(b);
    qint64 sendNs = 0, renderNs = 0;
    for (auto _ : state) {
        const QPointF at = toA ? a : b;
        const QPointF from = toA ? b : a;
        toA = !toA;
        // What a move onto a new city repaints: both highlights and both cards.
        QRegion dirty(map.card() ? map.card()->geometry() : QRect());
        qint64 t = cpuNs();
        send(at);
        // The event loop would delete the old card now.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        sendNs += cpuNs() - t;
        dirty += map.card() ? map.card()->geometry() : QRect();
        for (const QPointF& city : {from, at}) dirty += QRect(city.toPoint() - QPoint(12, 12), QSize(24, 24));
        QPainter p(&frame);
        t = cpuNs();
        map.render(&p, dirty.boundingRect().topLeft(), dirty);
        renderNs += cpuNs() - t;
    }
    // CPU time of the whole process (painting may use helper threads): the
    // shared machine's wall clock says more about the neighbours.
    state.counters["send_ms"] = double(sendNs) / 1e6 / double(state.iterations());
    state.counters["render_ms"] = double(renderNs) / 1e6 / double(state.iterations());
    state.counters["cities"] = double(all.size());
}
BENCHMARK(BM_PointerMoveOntoNewCity)->Unit(benchmark::kMillisecond);

void BM_CityCardCreation(benchmark::State& state) {
    QTemporaryDir dir;
    AppModelDeps deps;
    deps.paths = AppPaths::under(dir.path());
    AppModel model(std::move(deps));
    model.tick();
    const auto& all = WorldCity::all();
    if (all.empty()) {
        state.SkipWithError("no city catalogue found (cities.tsv)");
        return;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        CityCard card(model, all[all.size() - 1 - (i++ % 50)], false, {});
        benchmark::DoNotOptimize(card.sizeHint());
    }
}
BENCHMARK(BM_CityCardCreation)->Unit(benchmark::kMillisecond);

// The clock marks for 24 clocks, as the map asks for them on every change of
// the clock list (the card asks the same lookup on each refresh).
void BM_ClockMarks24(benchmark::State& state) {
    QTemporaryDir dir;
    AppModelDeps deps;
    deps.paths = AppPaths::under(dir.path());
    AppModel model(std::move(deps));
    if (WorldCity::all().empty()) {
        state.SkipWithError("no city catalogue found (cities.tsv)");
        return;
    }
    while (model.settings().clocks.size() < std::size_t(AppModel::kMaxClocks)) model.addClockInSettings();
    for (auto _ : state) benchmark::DoNotOptimize(clockMarks(model));
}
BENCHMARK(BM_ClockMarks24)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return corvane::bench::runWithQt<QApplication>(argc, argv); }
