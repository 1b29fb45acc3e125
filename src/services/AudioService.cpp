#include "services/AudioService.h"

#include "platform/Text.h"
#include "platform/system/DecodedSoundPlayer.h"
#include "platform/system/PulseAudio.h"
#include "services/BuiltInTone.h"
#include "services/SystemSounds.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace corvane {
namespace {

QString noOutput() { return tr("Audioausgabe nicht möglich."); }

// The built-in tone could not sound either. Why the chosen sound was
// replaced still comes first: it is what the user can mend.
QString noOutputAfter(const std::optional<QString>& reason) {
    if (!reason) return noOutput();
    return tr("%1 Auch der Standardalarm kann nicht abgespielt werden: Audioausgabe nicht möglich.").arg(*reason);
}

}  // namespace

AudioService::AudioService(QObject* parent)
    : AudioService(std::make_unique<DecodedSoundPlayerFactory>(), &PulseAudio::shared(), parent) {}

AudioService::AudioService(std::unique_ptr<SoundPlayerFactory> factory, const AudioOutputStatus* output,
                           QObject* parent)
    : QObject(parent), factory_(std::move(factory)), output_(output) {}

AudioService::~AudioService() {
    for (auto& [channel, playback] : current_) {
        detach(playback);
        playback.player->stop();
    }
}

// --- sound resolution -------------------------------------------------------

std::optional<QString> AudioService::resolveSoundURL(const SoundSettings& sound) {
    switch (sound.source) {
    case SoundSource::builtIn:
        return std::nullopt;
    case SoundSource::system:
        return findSystemSound(sound.systemSoundName);
    case SoundSource::customFile:
        // A folder at the path is no sound: it would only fail later with a
        // misleading "could not be read".
        if (sound.customFilePath && !sound.customFilePath->isEmpty() && QFileInfo(*sound.customFilePath).isFile())
            return *sound.customFilePath;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QString> AudioService::fallbackWarning(const SoundSettings& sound) {
    switch (sound.source) {
    case SoundSource::builtIn:
        return std::nullopt;
    case SoundSource::system:
        if (!resolveSoundURL(sound))
            return tr("Systemklang nicht vorhanden – der integrierte Standardalarm wird verwendet.");
        return std::nullopt;
    case SoundSource::customFile:
        if (!sound.customFilePath || sound.customFilePath->isEmpty())
            return tr("Keine Datei gewählt – der integrierte Standardalarm wird verwendet.");
        if (!resolveSoundURL(sound))
            return tr("Datei nicht gefunden – der integrierte Standardalarm wird verwendet.");
        return std::nullopt;
    }
    return std::nullopt;
}

std::unique_ptr<SoundPlayer> AudioService::makeTonePlayer(bool loop) {
    SoundPlayerResult made = factory_->fromData(builtInToneData(), "wav");
    if (made.player) made.player->setNumberOfLoops(loop ? -1 : 2);  // three beep groups
    return std::move(made.player);
}

AudioService::MadePlayer AudioService::makePlayer(const SoundSettings& sound) {
    MadePlayer result;
    result.warning = fallbackWarning(sound);
    if (const std::optional<QString> path = resolveSoundURL(sound)) {
        SoundPlayerResult made = factory_->fromFile(*path);
        QString error = made.error;
        if (made.player && made.player->duration() > 0.0) {
            made.player->setNumberOfLoops(sound.loop ? -1 : 0);
            result.player = std::move(made.player);
            result.isFallback = false;
            result.warning.reset();
            return result;
        }
        if (made.player) error = tr("Die Datei enthält keine Audiodaten.");
        result.warning = tr("Audiodatei konnte nicht gelesen werden (%1) – Standardalarm wird verwendet.").arg(error);
    }
    result.player = makeTonePlayer(sound.loop);
    result.isFallback = true;
    return result;
}

const QByteArray& AudioService::builtInToneData() { return corvane::builtInToneData(); }
const QStringList& AudioService::systemSounds() { return corvane::systemSounds(); }
std::optional<QString> AudioService::findSystemSound(const QString& name) { return corvane::findSystemSound(name); }

// --- channels ---------------------------------------------------------------

float AudioService::targetVolume(const SoundSettings& sound) {
    return float(std::clamp<qint64>(sound.volume, 0, 100)) / 100.0f;
}

void AudioService::attach(Playback& playback) {
    playback.serial = nextSerial_++;
    const quint64 serial = playback.serial;
    SoundPlayer* player = playback.player.get();
    // Queued even though players already notify on the main thread: the end
    // handling must never run inside a caller's play() or stop().
    connect(
        player, &SoundPlayer::finished, this,
        [this, serial](bool ok) {
            playerEnded(serial, ok ? std::nullopt : std::optional<QString>(tr("Wiedergabefehler")));
        },
        Qt::QueuedConnection);
    connect(
        player, &SoundPlayer::decodeError, this,
        [this, serial](const QString& description) {
            playerEnded(serial, description.isEmpty() ? tr("Decodierfehler") : description);
        },
        Qt::QueuedConnection);
}

void AudioService::detach(Playback& playback) {
    if (playback.player) disconnect(playback.player.get(), nullptr, this, nullptr);
}

void AudioService::play(AudioChannel channel, const SoundSettings& sound, const QString& owner,
                        double fadeSeconds) {
    stop(channel);
    MadePlayer made = makePlayer(sound);
    if (!made.player) {
        setLastWarning(noOutputAfter(made.warning));
        setOwner(channel, std::nullopt);
        return;
    }
    setLastWarning(made.warning);  // a clean start clears an old warning

    const bool fades = std::isfinite(fadeSeconds) && fadeSeconds > 0.0;
    const float target = targetVolume(sound);
    made.player->setVolume(fades ? 0.0f : target);

    Playback playback{std::move(made.player), owner, made.isFallback, sound, 0};
    attach(playback);
    SoundPlayer* player = playback.player.get();
    current_[channel] = std::move(playback);
    setOwner(channel, owner);

    if (!player->play()) {
        auto it = current_.find(channel);
        detach(it->second);
        current_.erase(it);
        setOwner(channel, std::nullopt);
        setLastWarning(noOutputAfter(made.warning));
        return;
    }
    if (fades) player->fadeTo(target, fadeSeconds);
}

void AudioService::stop(AudioChannel channel) {
    auto it = current_.find(channel);
    if (it != current_.end()) {
        // Cut the link first: a stopped player must not report an end.
        detach(it->second);
        it->second.player->stop();
        current_.erase(it);
    }
    setOwner(channel, std::nullopt);
}

void AudioService::playerEnded(quint64 serial, const std::optional<QString>& failure) {
    auto it = std::find_if(current_.begin(), current_.end(),
                           [serial](const auto& entry) { return entry.second.serial == serial; });
    if (it == current_.end()) return;  // stopped or replaced meanwhile
    const AudioChannel channel = it->first;
    Playback ended = std::move(it->second);
    current_.erase(it);
    detach(ended);

    if (!failure || ended.isFallback) {
        setOwner(channel, std::nullopt);
        return;
    }

    const QString reason = tr("Audiodatei fehlerhaft (%1) – Standardalarm wird verwendet.").arg(*failure);
    setLastWarning(reason);
    std::unique_ptr<SoundPlayer> tone = makeTonePlayer(ended.sound.loop);
    if (!tone) {
        setLastWarning(noOutputAfter(reason));
        setOwner(channel, std::nullopt);
        return;
    }
    tone->setVolume(targetVolume(ended.sound));
    Playback fallback{std::move(tone), ended.owner, true, ended.sound, 0};
    attach(fallback);
    SoundPlayer* player = fallback.player.get();
    current_[channel] = std::move(fallback);
    setOwner(channel, ended.owner);
    if (!player->play()) {
        auto again = current_.find(channel);
        detach(again->second);
        current_.erase(again);
        setOwner(channel, std::nullopt);
        setLastWarning(noOutputAfter(reason));
    }
}

// --- observed fields --------------------------------------------------------

void AudioService::setOwner(AudioChannel channel, const std::optional<QString>& owner) {
    if (channel == AudioChannel::alarm) {
        if (alarmOwner_ == owner) return;
        alarmOwner_ = owner;
        Q_EMIT alarmOwnerChanged();
    } else {
        if (previewOwner_ == owner) return;
        previewOwner_ = owner;
        Q_EMIT previewOwnerChanged();
    }
}

bool AudioService::isOwner(AudioChannel channel, const QString& owner) const {
    const std::optional<QString>& current = channel == AudioChannel::alarm ? alarmOwner_ : previewOwner_;
    return current && *current == owner;
}

void AudioService::setLastWarning(const std::optional<QString>& warning) {
    if (lastWarning_ == warning) return;
    lastWarning_ = warning;
    Q_EMIT lastWarningChanged();
}

bool AudioService::isOutputSilent() const { return output_ && output_->isOutputSilent(); }

SoundPlayer* AudioService::currentPlayer(AudioChannel channel) const {
    const auto it = current_.find(channel);
    return it == current_.end() ? nullptr : it->second.player.get();
}

bool AudioService::isPlayingFallback(AudioChannel channel) const {
    const auto it = current_.find(channel);
    return it != current_.end() && it->second.isFallback;
}

}  // namespace corvane
