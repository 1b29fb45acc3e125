// The sample feed runs whenever a sound plays, for the whole of an alarm, and
// the tick asks the sound server's state every fifth second: both must stay
// far below their budgets. Decoding happens once per start, on the main
// thread; the built-in tone is the one every fallback decodes.
#include <benchmark/benchmark.h>

#include "platform/system/AudioDecoder.h"
#include "platform/system/PcmPlaybackDevice.h"
#include "platform/system/PulseAudio.h"
#include "services/BuiltInTone.h"

#include <memory>

namespace {

using namespace corvane;

std::shared_ptr<const DecodedAudio> tone() {
    static const auto audio = std::make_shared<const DecodedAudio>(*decodeAudioData(builtInToneData(), "wav").audio);
    return audio;
}

// One 20 ms pull of the output at 44.1 kHz mono, with and without a ramp.
void BM_FeedChunk(benchmark::State& state, bool ramping) {
    PcmPlaybackDevice device(tone());
    device.setLoops(-1);
    device.open(QIODevice::ReadOnly);
    QByteArray buffer(882 * 2, Qt::Uninitialized);
    for (auto _ : state) {
        if (ramping) {
            device.setGain(0.0f);
            device.rampTo(0.8f, 44100 * 10);
        }
        benchmark::DoNotOptimize(device.read(buffer.data(), buffer.size()));
    }
}
BENCHMARK_CAPTURE(BM_FeedChunk, full_gain, false);
BENCHMARK_CAPTURE(BM_FeedChunk, ramping, true);

void BM_DecodeBuiltInTone(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(decodeAudioData(builtInToneData(), "wav"));
}
BENCHMARK(BM_DecodeBuiltInTone);

void BM_IsOutputSilent(benchmark::State& state) {
    PulseAudio pulse;
    for (auto _ : state) benchmark::DoNotOptimize(pulse.isOutputSilent());
}
BENCHMARK(BM_IsOutputSilent);

}  // namespace

BENCHMARK_MAIN();
