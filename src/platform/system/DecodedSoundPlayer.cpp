#include "platform/system/DecodedSoundPlayer.h"

#include "platform/system/PcmPlaybackDevice.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>

namespace corvane {

DecodedSoundPlayer::DecodedSoundPlayer(DecodedAudio audio, QObject* parent)
    : SoundPlayer(parent), audio_(std::make_shared<const DecodedAudio>(std::move(audio))) {
    device_ = new PcmPlaybackDevice(audio_, this);
    device_->open(QIODevice::ReadOnly);
}

DecodedSoundPlayer::~DecodedSoundPlayer() {
    if (sink_) {
        sink_->disconnect(this);
        sink_->stop();
    }
}

double DecodedSoundPlayer::duration() const { return audio_->duration(); }
void DecodedSoundPlayer::setNumberOfLoops(int loops) { device_->setLoops(loops); }
int DecodedSoundPlayer::numberOfLoops() const { return device_->loops(); }
void DecodedSoundPlayer::setVolume(float volume) { device_->setGain(volume); }
float DecodedSoundPlayer::volume() const { return device_->gain(); }

void DecodedSoundPlayer::fadeTo(float target, double seconds) {
    const double frames = std::isfinite(seconds) && seconds > 0 ? seconds * audio_->sampleRate : 0.0;
    device_->rampTo(target, qint64(std::min(frames, 1e15)));
}

bool DecodedSoundPlayer::isPlaying() const { return playing_; }

bool DecodedSoundPlayer::play() {
    if (playing_) return true;
    if (audio_->frames() == 0) return false;
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull()) return false;

    QAudioFormat format;
    format.setSampleRate(audio_->sampleRate);
    format.setChannelCount(audio_->channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!output.isFormatSupported(format)) return false;

    if (device_->exhausted()) device_->rewind();
    sink_ = new QAudioSink(output, format, this);
    connect(sink_, &QAudioSink::stateChanged, this, &DecodedSoundPlayer::onStateChanged);
    sink_->start(device_);
    if (sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState) {
        sink_->disconnect(this);
        sink_->deleteLater();
        sink_ = nullptr;
        return false;
    }
    playing_ = true;
    return true;
}

void DecodedSoundPlayer::stop() {
    if (tailTimer_) tailTimer_->stop();
    if (!sink_) return;
    playing_ = false;
    sink_->disconnect(this);
    sink_->stop();
    sink_->deleteLater();
    sink_ = nullptr;
}

void DecodedSoundPlayer::onStateChanged() {
    if (!sink_ || !playing_) return;
    const QAudio::State state = sink_->state();
    if (state == QAudio::IdleState && device_->exhausted()) {
        // The sink turns idle as soon as our feed runs dry, while samples it
        // took from us still wait in its own buffer and the server's.
        // Stopping now would cut them off, so wait for what was handed out
        // but not yet written, what the sink still buffers, and a margin
        // for the server's latency.
        const QAudioFormat format = sink_->format();
        const qint64 handedOutUs = device_->framesHandedOut() * 1000000 / std::max(1, audio_->sampleRate);
        const qint64 unwrittenUs = std::max<qint64>(0, handedOutUs - sink_->processedUSecs());
        const qint64 queued = std::max<qint64>(0, sink_->bufferSize() - sink_->bytesFree());
        const qint64 queuedUs = format.durationForBytes(int(std::min<qint64>(queued, INT_MAX)));
        const int tailMs = int(std::min<qint64>((unwrittenUs + queuedUs) / 1000 + 100, 5000));
        if (!tailTimer_) {
            tailTimer_ = new QTimer(this);
            tailTimer_->setSingleShot(true);
            connect(tailTimer_, &QTimer::timeout, this, [this] {
                if (playing_) finish(true);
            });
        }
        tailTimer_->start(tailMs);
    } else if (state == QAudio::StoppedState && sink_->error() != QAudio::NoError) {
        finish(false);
    }
    // Idle before the feed is exhausted is only a late pull; it resumes.
}

void DecodedSoundPlayer::finish(bool successfully) {
    stop();
    // Listeners hear of the end only after this call returns, like every
    // other notification of a player.
    QMetaObject::invokeMethod(
        this, [this, successfully] { Q_EMIT finished(successfully); }, Qt::QueuedConnection);
}

namespace {
SoundPlayerResult wrap(DecodeResult decoded) {
    SoundPlayerResult result;
    if (!decoded.audio) {
        result.error = decoded.error;
        return result;
    }
    result.player = std::make_unique<DecodedSoundPlayer>(std::move(*decoded.audio));
    return result;
}
}  // namespace

SoundPlayerResult DecodedSoundPlayerFactory::fromFile(const QString& path) { return wrap(decodeAudioFile(path)); }

SoundPlayerResult DecodedSoundPlayerFactory::fromData(const QByteArray& bytes, const char* typeHint) {
    return wrap(decodeAudioData(bytes, typeHint));
}

}  // namespace corvane
