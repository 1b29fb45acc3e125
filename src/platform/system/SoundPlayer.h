#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace corvane {

// One loaded sound, ready to play. Everything the audio service decides on
// (duration, loops, volume, fades, the end) comes from here, so the service
// can be driven by a fake in tests and never depends on what an audio
// backend happens to do.
//
// Notifications are always delivered on the main thread, queued, never from
// inside play() or stop().
class SoundPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SoundPlayer() override = default;

    // Length of one play in seconds.
    virtual double duration() const = 0;
    // -1 plays forever; n plays the sound n more times after the first.
    virtual void setNumberOfLoops(int loops) = 0;
    virtual int numberOfLoops() const = 0;
    // Linear gain 0 ... 1.
    virtual void setVolume(float volume) = 0;
    virtual float volume() const = 0;
    // Moves the gain from where it is now to `target` over `seconds` of
    // playback, evenly per sample.
    virtual void fadeTo(float target, double seconds) = 0;
    // False when the sound cannot be played (e.g. no output device).
    virtual bool play() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;

Q_SIGNALS:
    // The sound played out (successfully) or the output gave up (not).
    void finished(bool successfully);
    // Decoding failed while playing; the text may be empty.
    void decodeError(const QString& description);
};

// A player, or a German description of why none could be made.
struct SoundPlayerResult {
    std::unique_ptr<SoundPlayer> player;
    QString error;
};

// Creates players. The audio service owns one; tests hand it a fake.
class SoundPlayerFactory {
public:
    virtual ~SoundPlayerFactory() = default;
    virtual SoundPlayerResult fromFile(const QString& path) = 0;
    // `typeHint` names the container (e.g. "wav") so detection can't guess
    // wrong on in-memory data.
    virtual SoundPlayerResult fromData(const QByteArray& bytes, const char* typeHint) = 0;
};

}  // namespace corvane
