// The desktop widget's work per minute: building a timeline of 120 entries
// (reading and decoding widget.json included), and one repaint of the
// extra-large widget with 12 dials or 12 digital times. Targets: timeline
// <= 1 ms, extra-large repaint <= 10 ms.

#include "BenchMain.h"
#include "dial/FaceCache.h"
#include "platform/Clock.h"
#include "platform/TimeZones.h"
#include "widget/ClockProvider.h"
#include "widget/TickoraWidgetView.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace corvane;

namespace {

const char* kZones[] = {"Europe/Berlin", "America/New_York", "Asia/Tokyo",     "Australia/Sydney",
                        "Europe/London", "Asia/Kolkata",     "America/Chicago", "Pacific/Auckland",
                        "Africa/Cairo",  "America/Sao_Paulo", "Asia/Singapore", "Europe/Moscow"};

WidgetSnapshot twelveClocks(bool digital) {
    WidgetSnapshot s;
    for (int i = 0; i < 12; ++i)
        s.clocks.push_back({QString::fromLatin1(kZones[i]), QString::fromLatin1(kZones[i]).section(u'/', -1),
                            DialStyle(i % 8), i % 3 == 1 ? std::optional<QString>(QStringLiteral("#2050C0"))
                                                         : std::nullopt});
    s.digital = digital;
    s.fontFamily = QStringLiteral("DejaVu Sans");
    s.theme = ThemeColors::defaultPalette();
    s.nextAlarm = QStringLiteral("Wecker Mo 07:00");
    return s;
}

void BM_WidgetTimelineFromFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("widget.json"));
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write(twelveClocks(false).encode());
    out.close();
    const FakeClock clock(1'781'000'000'000);
    const FixedTimeZoneProvider zones("Europe/Berlin");
    const ClockProvider provider(file, clock, zones);
    for (auto _ : state) {
        Timeline t = provider.getTimeline();
        benchmark::DoNotOptimize(t.entries.data());
    }
}

void repaint(benchmark::State& state, bool digital, bool cachedFaces, double dpr) {
    const WidgetFamily family = WidgetFamily::systemExtraLarge;
    QImage target(familySize(family) * dpr, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(dpr);
    const FixedTimeZoneProvider zones("Europe/Berlin");
    ClockEntryW entry{1'781'000'000'000, std::make_shared<const WidgetSnapshot>(twelveClocks(digital))};
    for (auto _ : state) {
        if (!cachedFaces) FaceCache::forGuiThread().clear();
        entry.date += 60'000;  // every repaint is the next minute
        QPainter painter(&target);
        paintWidget(painter, QRectF(QPointF(0, 0), QSizeF(familySize(family))), family, entry, zones);
    }
}

void BM_WidgetRepaintExtraLargeDials(benchmark::State& s) { repaint(s, false, true, 1.0); }
void BM_WidgetRepaintExtraLargeDialsNewFaces(benchmark::State& s) { repaint(s, false, false, 1.0); }
void BM_WidgetRepaintExtraLargeDialsHiDpi(benchmark::State& s) { repaint(s, false, true, 2.0); }
void BM_WidgetRepaintExtraLargeDigital(benchmark::State& s) { repaint(s, true, true, 1.0); }

}  // namespace

BENCHMARK(BM_WidgetTimelineFromFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WidgetRepaintExtraLargeDials)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WidgetRepaintExtraLargeDialsNewFaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WidgetRepaintExtraLargeDialsHiDpi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WidgetRepaintExtraLargeDigital)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return corvane::bench::runWithQt<QGuiApplication>(argc, argv); }
