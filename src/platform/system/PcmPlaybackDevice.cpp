#include "platform/system/PcmPlaybackDevice.h"

#include <QMutexLocker>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace corvane {

PcmPlaybackDevice::PcmPlaybackDevice(std::shared_ptr<const DecodedAudio> audio, QObject* parent)
    : QIODevice(parent), audio_(std::move(audio)) {}

void PcmPlaybackDevice::setLoops(int loops) {
    QMutexLocker lock(&mutex_);
    loops_ = loops < 0 ? -1 : loops;
    loopsLeft_ = loops_;
}

int PcmPlaybackDevice::loops() const {
    QMutexLocker lock(&mutex_);
    return loops_;
}

void PcmPlaybackDevice::setGain(float gain) {
    QMutexLocker lock(&mutex_);
    gain_ = target_ = std::clamp(double(gain), 0.0, 1.0);
    rampLeft_ = 0;
    step_ = 0.0;
}

float PcmPlaybackDevice::gain() const {
    QMutexLocker lock(&mutex_);
    return float(gain_);
}

void PcmPlaybackDevice::rampTo(float target, qint64 frames) {
    QMutexLocker lock(&mutex_);
    target_ = std::clamp(double(target), 0.0, 1.0);
    if (frames <= 0) {
        gain_ = target_;
        rampLeft_ = 0;
        step_ = 0.0;
        return;
    }
    rampLeft_ = frames;
    step_ = (target_ - gain_) / double(frames);
}

void PcmPlaybackDevice::rewind() {
    QMutexLocker lock(&mutex_);
    position_ = 0;
    loopsLeft_ = loops_;
    handedOut_ = 0;
}

qint64 PcmPlaybackDevice::framesHandedOut() const {
    QMutexLocker lock(&mutex_);
    return handedOut_;
}

bool PcmPlaybackDevice::exhausted() const {
    QMutexLocker lock(&mutex_);
    return position_ >= audio_->frames() && loopsLeft_ == 0;
}

qint64 PcmPlaybackDevice::bytesAvailable() const {
    QMutexLocker lock(&mutex_);
    const qint64 frames = audio_->frames();
    const qint64 frameBytes = 2 * qint64(std::max(1, audio_->channels));
    if (frames == 0) return QIODevice::bytesAvailable();
    if (loopsLeft_ < 0) return std::numeric_limits<qint32>::max();
    const qint64 left = (frames - position_) + frames * loopsLeft_;
    return left * frameBytes + QIODevice::bytesAvailable();
}

qint64 PcmPlaybackDevice::readData(char* data, qint64 maxSize) {
    QMutexLocker lock(&mutex_);
    const qint64 total = audio_->frames();
    const int channels = audio_->channels;
    if (total == 0 || channels <= 0) return 0;
    const qint64 frameBytes = 2 * qint64(channels);
    const qint64 wanted = maxSize / frameBytes;
    const auto* source = reinterpret_cast<const qint16*>(audio_->pcm.constData());
    auto* out = reinterpret_cast<qint16*>(data);

    qint64 produced = 0;
    while (produced < wanted) {
        if (position_ >= total) {
            if (loopsLeft_ == 0) break;
            if (loopsLeft_ > 0) --loopsLeft_;
            position_ = 0;
        }
        const qint64 chunk = std::min(wanted - produced, total - position_);
        const qint16* in = source + position_ * channels;
        qint16* dst = out + produced * channels;
        if (rampLeft_ == 0 && gain_ >= 1.0) {
            std::memcpy(dst, in, size_t(chunk * frameBytes));
        } else {
            for (qint64 f = 0; f < chunk; ++f) {
                if (rampLeft_ > 0) {
                    gain_ += step_;
                    if (--rampLeft_ == 0) gain_ = target_;
                }
                for (int c = 0; c < channels; ++c) {
                    const long v = std::lround(double(in[f * channels + c]) * gain_);
                    dst[f * channels + c] = qint16(std::clamp<long>(v, -32768, 32767));
                }
            }
        }
        produced += chunk;
        position_ += chunk;
    }
    handedOut_ += produced;
    return produced * frameBytes;
}

}  // namespace corvane
