// Loading and saving a settings file at its largest: 24 clocks with their own
// dials and colours, four alarms and two countdowns with imported sounds.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <QTimeZone>

#include "model/SettingsCodec.h"
#include "platform/AtomicFile.h"

namespace {

using namespace corvane;

AppSettings largestSettings() {
    AppSettings s = AppSettings::defaults();
    s.userName = QStringLiteral("Jördis");
    s.dialImagePath = QStringLiteral("/home/user/.local/share/Corvane/Medien/zifferblatt-0001.png");
    const QList<QByteArray> zones = QTimeZone::availableTimeZoneIds();
    s.clocks.clear();
    for (int i = 0; i < AppSettings::kMaxClocks; ++i) {
        ClockEntry clock = ClockEntry::makeNew();
        clock.timeZoneID = QString::fromUtf8(zones[(i * 17) % zones.size()]);
        clock.name = QStringLiteral("Uhr %1").arg(i + 1);
        clock.dialStyle = allCases<DialStyle>()[std::size_t(i) % allCases<DialStyle>().size()];
        clock.dialImagePath =
            QStringLiteral("/home/user/.local/share/Corvane/Medien/zifferblatt-%1.png").arg(i);
        clock.faceColor = QStringLiteral("#%1A3B4C").arg(i + 10);
        s.clocks.push_back(clock);
    }
    for (int i = 0; i < AppSettings::kAlarmCount; ++i) {
        AlarmSettings& alarm = s.alarms[std::size_t(i)];
        alarm.isEnabled = true;
        alarm.sound.source = SoundSource::customFile;
        alarm.sound.customFilePath =
            QStringLiteral("/home/user/.local/share/Corvane/Medien/wecker-%1.mp3").arg(i);
        alarm.radioStationUUID = QStringLiteral("9617a958-0601-11e8-ae97-52543be04c81");
        alarm.radioStationName = QStringLiteral("Radio Eins");
        alarm.weekdays = WeekdaySet{2, 3, 4, 5, 6};
    }
    for (CountdownSettings& countdown : s.countdowns) {
        countdown.sound.source = SoundSource::customFile;
        countdown.sound.customFilePath = QStringLiteral("/home/user/.local/share/Corvane/Medien/timer.wav");
    }
    s.windowLeft = 100;
    s.windowTop = 80;
    s.windowWidth = 1200;
    s.windowHeight = 800;
    return s;
}

void BM_DecodeSettings(benchmark::State& state) {
    const QByteArray bytes = encodeSettings(largestSettings());
    for (auto _ : state) {
        auto result = decodeSettings(bytes);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
BENCHMARK(BM_DecodeSettings)->Unit(benchmark::kMicrosecond);

void BM_EncodeSettings(benchmark::State& state) {
    const AppSettings settings = largestSettings();
    for (auto _ : state) {
        QByteArray bytes = encodeSettings(settings);
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_EncodeSettings)->Unit(benchmark::kMicrosecond);

// The write queue's part of a save: temporary file, every byte, sync, rename.
// Bound by the disk's sync, not by the processor.
void BM_ReplaceSettingsFile(benchmark::State& state) {
    const QByteArray bytes = encodeSettings(largestSettings());
    QTemporaryDir folder;
    const QString path = folder.path() + QStringLiteral("/settings.json");
    for (auto _ : state) {
        const WriteOutcome outcome = replaceFile(path, bytes);
        if (!outcome.ok()) state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_ReplaceSettingsFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
