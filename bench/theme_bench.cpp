// The palette is rebuilt on every tick that crosses a second, and with the
// dusk theme its input changes all the time, so make() has to stay cheap.
#include <benchmark/benchmark.h>

#include "model/Theme.h"

namespace {

using corvane::AppSettings;
using corvane::ThemeColors;
using corvane::ThemeMode;

void BM_ThemeMake(benchmark::State& state, ThemeMode theme, bool useCustom, double blend) {
    AppSettings settings = AppSettings::defaults();
    settings.theme = theme;
    settings.useCustomBackground = useCustom;
    for (auto _ : state) {
        ThemeColors palette = ThemeColors::make(settings, true, blend);
        benchmark::DoNotOptimize(palette);
    }
}

BENCHMARK_CAPTURE(BM_ThemeMake, dark, ThemeMode::dark, false, 1.0);
BENCHMARK_CAPTURE(BM_ThemeMake, light, ThemeMode::light, false, 1.0);
BENCHMARK_CAPTURE(BM_ThemeMake, system, ThemeMode::system, false, 1.0);
BENCHMARK_CAPTURE(BM_ThemeMake, dusk_0_37, ThemeMode::dusk, false, 0.37);
BENCHMARK_CAPTURE(BM_ThemeMake, dusk_own_colour_0_37, ThemeMode::dusk, true, 0.37);
BENCHMARK_CAPTURE(BM_ThemeMake, dark_own_colour, ThemeMode::dark, true, 1.0);

// A dusk evening: the blend walks from day to night in small steps.
void BM_ThemeMakeDuskSweep(benchmark::State& state) {
    AppSettings settings = AppSettings::defaults();
    settings.theme = ThemeMode::dusk;
    double t = 0;
    for (auto _ : state) {
        t += 0.001;
        if (t > 1) t = 0;
        ThemeColors palette = ThemeColors::make(settings, true, t);
        benchmark::DoNotOptimize(palette);
    }
}
BENCHMARK(BM_ThemeMakeDuskSweep);

}  // namespace

BENCHMARK_MAIN();
