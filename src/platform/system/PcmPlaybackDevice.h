#pragma once

#include "platform/system/AudioDecoder.h"

#include <QIODevice>
#include <QMutex>

#include <memory>

namespace corvane {

// Feeds decoded samples to the audio output, repeating them for the loop
// count and scaling every sample by a gain that can ramp, so a fade-in rises
// smoothly instead of in steps. The output may pull from another thread, so
// all state is guarded.
class PcmPlaybackDevice final : public QIODevice {
    Q_OBJECT
public:
    explicit PcmPlaybackDevice(std::shared_ptr<const DecodedAudio> audio, QObject* parent = nullptr);

    // -1 forever, n further plays after the first.
    void setLoops(int loops);
    int loops() const;
    void setGain(float gain);
    float gain() const;
    // Moves the gain linearly to `target` over `frames` sample frames.
    void rampTo(float target, qint64 frames);
    // Back to the first sample with the full loop count.
    void rewind();
    // Every sample of every play has been handed out.
    bool exhausted() const;
    // Frames handed to the output since the last rewind, over all plays.
    qint64 framesHandedOut() const;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::shared_ptr<const DecodedAudio> audio_;
    mutable QMutex mutex_;
    qint64 position_ = 0;  // in frames, within the current play
    int loops_ = 0;
    int loopsLeft_ = 0;
    double gain_ = 1.0;
    double target_ = 1.0;
    double step_ = 0.0;
    qint64 rampLeft_ = 0;
    qint64 handedOut_ = 0;
};

}  // namespace corvane
