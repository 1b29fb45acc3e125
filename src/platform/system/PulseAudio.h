#pragma once

#include <QtGlobal>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace corvane {

// One stream that an application plays into the sound server.
struct SinkInputInfo {
    qint64 pid = -1;  // application.process.id, -1 when the stream names none
    bool corked = false;

    bool operator==(const SinkInputInfo&) const = default;
};

// What the program asks of the sound server. Answers come from a cache the
// server keeps up to date, so asking never waits.
class AudioOutputStatus {
public:
    virtual ~AudioOutputStatus() = default;
    // The default output is muted or below 1 % volume. Without a server
    // nothing is known to be silent: false.
    virtual bool isOutputSilent() const = 0;
    // The streams now playing or paused; nullopt while no server answers.
    virtual std::optional<std::vector<SinkInputInfo>> sinkInputs() const = 0;
};

// Muted, or the loudest channel below 1 % of the normal volume.
bool outputIsSilent(bool muted, std::uint32_t maxVolume);
// Seconds before the next connection attempt after `failures` failed ones
// since the server last answered: 5, doubling, at most 60.
int pulseRetrySeconds(int failures);

// One connection to the PulseAudio (or PipeWire pulse) server on its own
// threaded main loop. It subscribes to sink, server and stream changes and
// keeps their state cached; a lost server is retried after a few seconds,
// then less often while it stays away.
// It never starts a server of its own.
class PulseAudio final : public AudioOutputStatus {
public:
    PulseAudio();
    ~PulseAudio() override;
    PulseAudio(const PulseAudio&) = delete;
    PulseAudio& operator=(const PulseAudio&) = delete;

    // The program's one connection, made on first use.
    static PulseAudio& shared();

    bool isOutputSilent() const override;
    std::optional<std::vector<SinkInputInfo>> sinkInputs() const override;
    // The server answered and the cache holds its state.
    bool isConnected() const;

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

}  // namespace corvane
