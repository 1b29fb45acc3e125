#pragma once

#include "model/Settings.h"
#include "platform/system/SoundPlayer.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>

namespace corvane {

class AudioOutputStatus;

enum class AudioChannel { alarm, preview };

// Plays alarm, countdown and preview sounds on two independent channels.
// Each channel plays at most one sound and remembers who started it, so the
// alert or editor that started a sound can ask whether it still plays and
// stop it. Whatever goes wrong with a chosen sound, the built-in tone plays
// instead and lastWarning says why: the alarm is never silent without a
// reason.
//
// Main thread only. Owner and warning signals fire only on a real change.
class AudioService : public QObject {
    Q_OBJECT
public:
    // Plays through FFmpeg and the default audio output; asks the sound
    // server whether the output is silent.
    explicit AudioService(QObject* parent = nullptr);
    // `output` may be null (nothing is ever silent) and must outlive us.
    AudioService(std::unique_ptr<SoundPlayerFactory> factory, const AudioOutputStatus* output,
                 QObject* parent = nullptr);
    ~AudioService() override;

    // Starts `sound` on `channel`, replacing what it played. Success shows
    // in the owner, failure in lastWarning. With fadeSeconds > 0 the volume
    // rises from 0 to the sound's volume over that time.
    void play(AudioChannel channel, const SoundSettings& sound, const QString& owner, double fadeSeconds = 0.0);
    // Stops the channel without an end notification and clears its owner.
    void stop(AudioChannel channel);
    // Sets the owner field alone; the player is not touched.
    void setOwner(AudioChannel channel, const std::optional<QString>& owner);
    bool isOwner(AudioChannel channel, const QString& owner) const;

    const std::optional<QString>& alarmOwner() const { return alarmOwner_; }
    const std::optional<QString>& previewOwner() const { return previewOwner_; }
    const std::optional<QString>& lastWarning() const { return lastWarning_; }

    // The default output is muted or nearly silent. Answered from a cache;
    // never waits.
    bool isOutputSilent() const;

    // The local file `sound` plays, if it is a system sound or own file that
    // exists as a regular file; none for the built-in tone.
    static std::optional<QString> resolveSoundURL(const SoundSettings& sound);
    // Why `sound` will fall back to the built-in tone before even trying to
    // read it; none when the tone is chosen or the file is there.
    static std::optional<QString> fallbackWarning(const SoundSettings& sound);

    struct MadePlayer {
        std::unique_ptr<SoundPlayer> player;  // null when not even the tone could be made
        bool isFallback = false;              // plays the built-in tone
        std::optional<QString> warning;
    };
    // A prepared player for `sound`, or for the built-in tone when the sound
    // cannot be used.
    MadePlayer makePlayer(const SoundSettings& sound);

    static const QByteArray& builtInToneData();
    static const QStringList& systemSounds();
    static std::optional<QString> findSystemSound(const QString& name);

    // What the channel plays now: for tests and diagnostics.
    SoundPlayer* currentPlayer(AudioChannel channel) const;
    bool isPlayingFallback(AudioChannel channel) const;

Q_SIGNALS:
    void alarmOwnerChanged();
    void previewOwnerChanged();
    void lastWarningChanged();

private:
    struct Playback {
        std::unique_ptr<SoundPlayer> player;
        QString owner;
        bool isFallback = false;
        SoundSettings sound;
        quint64 serial = 0;  // identifies this playback in queued notifications
    };

    std::unique_ptr<SoundPlayer> makeTonePlayer(bool loop);
    void attach(Playback& playback);
    void detach(Playback& playback);
    void playerEnded(quint64 serial, const std::optional<QString>& failure);
    void setLastWarning(const std::optional<QString>& warning);
    static float targetVolume(const SoundSettings& sound);

    std::unique_ptr<SoundPlayerFactory> factory_;
    const AudioOutputStatus* output_ = nullptr;
    std::map<AudioChannel, Playback> current_;
    std::optional<QString> alarmOwner_;
    std::optional<QString> previewOwner_;
    std::optional<QString> lastWarning_;
    quint64 nextSerial_ = 1;
};

}  // namespace corvane
