#pragma once

#include "platform/system/AudioDecoder.h"
#include "platform/system/SoundPlayer.h"

#include <memory>

class QAudioSink;
class QTimer;

namespace corvane {

class PcmPlaybackDevice;

// Plays a fully decoded sound through the default audio output. Loops, gain
// and the end of play are decided by our own sample feed, not by the output,
// so they behave the same on every sound server.
class DecodedSoundPlayer final : public SoundPlayer {
    Q_OBJECT
public:
    explicit DecodedSoundPlayer(DecodedAudio audio, QObject* parent = nullptr);
    ~DecodedSoundPlayer() override;

    double duration() const override;
    void setNumberOfLoops(int loops) override;
    int numberOfLoops() const override;
    void setVolume(float volume) override;
    float volume() const override;
    void fadeTo(float target, double seconds) override;
    bool play() override;
    void stop() override;
    bool isPlaying() const override;

private:
    void onStateChanged();
    void finish(bool successfully);

    std::shared_ptr<const DecodedAudio> audio_;
    PcmPlaybackDevice* device_ = nullptr;  // child
    QAudioSink* sink_ = nullptr;           // child while playing
    QTimer* tailTimer_ = nullptr;          // child, created on the first end
    bool playing_ = false;
};

// Decodes files and bytes with FFmpeg and wraps the result in a
// DecodedSoundPlayer.
class DecodedSoundPlayerFactory final : public SoundPlayerFactory {
public:
    SoundPlayerResult fromFile(const QString& path) override;
    SoundPlayerResult fromData(const QByteArray& bytes, const char* typeHint) override;
};

}  // namespace corvane
