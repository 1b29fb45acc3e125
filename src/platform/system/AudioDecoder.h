#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

// A whole sound as interleaved signed 16-bit samples, one or two channels.
struct DecodedAudio {
    QByteArray pcm;
    int sampleRate = 0;
    int channels = 0;

    qint64 frames() const { return channels > 0 ? pcm.size() / (2 * channels) : 0; }
    double duration() const { return sampleRate > 0 ? double(frames()) / sampleRate : 0.0; }
};

// The decoded sound, or a German description of why there is none. A file
// that opens but holds no samples decodes to zero frames, not to an error:
// whoever plays it decides what an empty sound means.
struct DecodeResult {
    std::optional<DecodedAudio> audio;
    QString error;
};

// Decodes the whole file at once, so its exact length and any fault are known
// before anything plays. The file is read through our own I/O, never handed
// to the demuxers as a path or URL, and only plain audio containers are
// accepted.
DecodeResult decodeAudioFile(const QString& path);
// Same for bytes in memory; `typeHint` (a demuxer name such as "wav") skips
// format detection, nullptr detects.
DecodeResult decodeAudioData(const QByteArray& bytes, const char* typeHint = nullptr);

// The lower-case file extensions of what the demuxers we allow play, most
// common first: the one list behind the system sounds and the own-file
// dialog.
const QStringList& decodableExtensions();

// Upper bound on the decoded samples; longer sounds are refused rather than
// allowed to take the machine's memory (about 25 minutes of stereo 44.1 kHz).
inline constexpr qint64 kMaxDecodedPcmBytes = qint64(256) * 1024 * 1024;

}  // namespace corvane
