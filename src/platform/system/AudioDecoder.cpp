#include "platform/system/AudioDecoder.h"

#include "platform/Text.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace corvane {
namespace {

// Demuxers of the containers we play. Anything else (playlists, concat,
// image or subtitle formats a crafted file might probe as) is refused, which
// also keeps any demuxer from opening further files or URLs.
constexpr const char* kDemuxers = "wav,aiff,caf,mp3,mov,ogg,flac";
constexpr int kIoBufferSize = 32 * 1024;

void quietLibraries() {
    static std::once_flag once;
    // A damaged file would otherwise fill the terminal with decoder chatter;
    // what went wrong reaches the user through our own texts.
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

// --- input sources behind a custom AVIOContext -----------------------------

struct Source {
    virtual ~Source() = default;
    virtual int read(uint8_t* buf, int size) = 0;
    virtual int64_t seek(int64_t offset, int whence) = 0;
};

struct MemorySource final : Source {
    explicit MemorySource(const QByteArray& b) : bytes(b) {}
    const QByteArray& bytes;
    int64_t pos = 0;

    int read(uint8_t* buf, int size) override {
        const int64_t left = bytes.size() - pos;
        if (left <= 0) return AVERROR_EOF;
        const int n = int(std::min<int64_t>(left, size));
        std::memcpy(buf, bytes.constData() + pos, size_t(n));
        pos += n;
        return n;
    }
    int64_t seek(int64_t offset, int whence) override {
        int64_t base = 0;
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE: return bytes.size();
        case SEEK_SET: base = 0; break;
        case SEEK_CUR: base = pos; break;
        case SEEK_END: base = bytes.size(); break;
        default: return AVERROR(EINVAL);
        }
        const int64_t target = base + offset;
        if (target < 0 || target > bytes.size()) return AVERROR(EINVAL);
        pos = target;
        return pos;
    }
};

struct FileSource final : Source {
    QFile file;

    int read(uint8_t* buf, int size) override {
        const qint64 n = file.read(reinterpret_cast<char*>(buf), size);
        if (n < 0) return AVERROR(EIO);
        if (n == 0) return AVERROR_EOF;
        return int(n);
    }
    int64_t seek(int64_t offset, int whence) override {
        int64_t base = 0;
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE: return file.size();
        case SEEK_SET: base = 0; break;
        case SEEK_CUR: base = file.pos(); break;
        case SEEK_END: base = file.size(); break;
        default: return AVERROR(EINVAL);
        }
        const int64_t target = base + offset;
        if (target < 0 || !file.seek(target)) return AVERROR(EINVAL);
        return target;
    }
};

int readPacket(void* opaque, uint8_t* buf, int size) {
    return static_cast<Source*>(opaque)->read(buf, size);
}
int64_t seekSource(void* opaque, int64_t offset, int whence) {
    return static_cast<Source*>(opaque)->seek(offset, whence);
}

// --- owners of the FFmpeg objects -------------------------------------------

struct IoContext {
    AVIOContext* ctx = nullptr;
    ~IoContext() {
        if (ctx) {
            av_freep(&ctx->buffer);
            avio_context_free(&ctx);
        }
    }
};
struct FormatContext {
    AVFormatContext* ctx = nullptr;
    bool opened = false;
    ~FormatContext() {
        if (opened) avformat_close_input(&ctx);
        else avformat_free_context(ctx);
    }
};
struct CodecContext {
    AVCodecContext* ctx = nullptr;
    ~CodecContext() { avcodec_free_context(&ctx); }
};
struct Resampler {
    SwrContext* ctx = nullptr;
    ~Resampler() { swr_free(&ctx); }
};
struct Packet {
    AVPacket* pkt = av_packet_alloc();
    ~Packet() { av_packet_free(&pkt); }
};
struct Frame {
    AVFrame* frame = av_frame_alloc();
    ~Frame() { av_frame_free(&frame); }
};

QString unreadableFormat() { return tr("Unbekanntes oder beschädigtes Audioformat."); }

class Decoder {
public:
    DecodeResult run(Source& source, const char* typeHint) {
        quietLibraries();
        IoContext io;
        auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
        if (!buffer) return fail(tr("Nicht genug Arbeitsspeicher."));
        io.ctx = avio_alloc_context(buffer, kIoBufferSize, 0, &source, &readPacket, nullptr, &seekSource);
        if (!io.ctx) {
            av_free(buffer);
            return fail(tr("Nicht genug Arbeitsspeicher."));
        }

        FormatContext format;
        format.ctx = avformat_alloc_context();
        if (!format.ctx) return fail(tr("Nicht genug Arbeitsspeicher."));
        format.ctx->pb = io.ctx;
        format.ctx->flags |= AVFMT_FLAG_CUSTOM_IO;
        format.ctx->format_whitelist = av_strdup(kDemuxers);
        format.ctx->protocol_whitelist = av_strdup("none");
        const AVInputFormat* forced = typeHint ? av_find_input_format(typeHint) : nullptr;
        if (avformat_open_input(&format.ctx, nullptr, forced, nullptr) < 0) {
            format.ctx = nullptr;  // freed by FFmpeg on failure
            return fail(unreadableFormat());
        }
        format.opened = true;
        if (avformat_find_stream_info(format.ctx, nullptr) < 0) return fail(unreadableFormat());

        const AVCodec* codec = nullptr;
        const int stream = av_find_best_stream(format.ctx, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
        if (stream == AVERROR_STREAM_NOT_FOUND) return fail(tr("Die Datei enthält keine Tonspur."));
        if (stream < 0 || !codec) return fail(tr("Dieses Audioformat wird nicht unterstützt."));
        for (unsigned i = 0; i < format.ctx->nb_streams; ++i)
            if (int(i) != stream) format.ctx->streams[i]->discard = AVDISCARD_ALL;

        CodecContext codecCtx;
        codecCtx.ctx = avcodec_alloc_context3(codec);
        if (!codecCtx.ctx) return fail(tr("Nicht genug Arbeitsspeicher."));
        if (avcodec_parameters_to_context(codecCtx.ctx, format.ctx->streams[stream]->codecpar) < 0 ||
            avcodec_open2(codecCtx.ctx, codec, nullptr) < 0)
            return fail(tr("Dieses Audioformat wird nicht unterstützt."));
        codec_ = codecCtx.ctx;

        Packet packet;
        Frame frame;
        if (!packet.pkt || !frame.frame) return fail(tr("Nicht genug Arbeitsspeicher."));
        frame_ = frame.frame;

        int rc = 0;
        while ((rc = av_read_frame(format.ctx, packet.pkt)) >= 0 || rc == AVERROR(EAGAIN)) {
            if (rc >= 0 && packet.pkt->stream_index == stream) {
                if (avcodec_send_packet(codec_, packet.pkt) < 0) ++badPackets_;
                if (!drainFrames()) return failNow();
            }
            av_packet_unref(packet.pkt);
        }
        // A read error after some audio is a cut-off file: keep what played
        // cleanly. Before any audio it is a broken file.
        avcodec_send_packet(codec_, nullptr);
        if (!drainFrames()) return failNow();
        if (!flushResampler()) return failNow();

        if (audio_.frames() == 0 && (badPackets_ > 0 || (rc < 0 && rc != AVERROR_EOF)))
            return fail(tr("Die Audiodaten sind beschädigt."));
        trimEncoderPadding(format.ctx->streams[stream]);
        if (audio_.sampleRate == 0) {
            // No frame at all: report the stream's own format with no samples.
            audio_.sampleRate = std::max(1, codec_->sample_rate);
            audio_.channels = std::clamp(codec_->ch_layout.nb_channels, 1, 2);
        }
        DecodeResult result;
        result.audio = std::move(audio_);
        return result;
    }

private:
    DecodeResult fail(const QString& why) {
        DecodeResult r;
        r.error = why;
        return r;
    }
    DecodeResult failNow() { return fail(error_); }

    // AAC and similar codecs pad the last block; the container states the
    // true length (an MP4 edit list, for one) and FFmpeg leaves the tail to
    // us. Only a short overshoot is cut, so a header that lies about the
    // length can never eat real audio.
    void trimEncoderPadding(const AVStream* st) {
        if (audio_.sampleRate == 0 || st->duration == AV_NOPTS_VALUE || st->duration <= 0) return;
        const int64_t stated = av_rescale_q(st->duration, st->time_base, AVRational{1, audio_.sampleRate});
        const int64_t have = audio_.frames();
        if (stated > 0 && have > stated && have - stated <= kMaxPaddingFrames)
            audio_.pcm.resize(qsizetype(stated * 2 * audio_.channels));
    }
    static constexpr int64_t kMaxPaddingFrames = 4096;

    bool drainFrames() {
        for (;;) {
            const int rc = avcodec_receive_frame(codec_, frame_);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
            if (rc < 0) {
                ++badPackets_;
                return true;
            }
            const bool ok = convert(frame_);
            av_frame_unref(frame_);
            if (!ok) return false;
        }
    }

    bool setUpResampler(const AVFrame* f) {
        const int inChannels = f->ch_layout.nb_channels;
        if (inChannels <= 0 || f->sample_rate <= 0 || f->sample_rate > 768000) {
            error_ = tr("Die Audiodaten sind beschädigt.");
            return false;
        }
        if (audio_.sampleRate == 0) {
            audio_.sampleRate = f->sample_rate;
            audio_.channels = std::min(inChannels, 2);
        }
        swr_free(&resampler_.ctx);
        AVChannelLayout outLayout;
        av_channel_layout_default(&outLayout, audio_.channels);
        AVChannelLayout inLayout;
        if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) av_channel_layout_default(&inLayout, inChannels);
        else av_channel_layout_copy(&inLayout, &f->ch_layout);
        const int rc = swr_alloc_set_opts2(&resampler_.ctx, &outLayout, AV_SAMPLE_FMT_S16, audio_.sampleRate,
                                           &inLayout, AVSampleFormat(f->format), f->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&inLayout);
        av_channel_layout_uninit(&outLayout);
        if (rc < 0 || swr_init(resampler_.ctx) < 0) {
            error_ = tr("Dieses Audioformat wird nicht unterstützt.");
            return false;
        }
        inFormat_ = f->format;
        inRate_ = f->sample_rate;
        av_channel_layout_uninit(&inLayoutSeen_);
        av_channel_layout_copy(&inLayoutSeen_, &f->ch_layout);
        return true;
    }

    bool convert(const AVFrame* f) {
        // Chained Ogg streams may change format midway; follow them.
        if (!resampler_.ctx || f->format != inFormat_ || f->sample_rate != inRate_ ||
            av_channel_layout_compare(&f->ch_layout, &inLayoutSeen_) != 0) {
            if (!flushResampler() || !setUpResampler(f)) return false;
        }
        return appendConverted(f->extended_data, f->nb_samples);
    }

    bool flushResampler() {
        if (!resampler_.ctx) return true;
        return appendConverted(nullptr, 0);
    }

    bool appendConverted(uint8_t* const* in, int inSamples) {
        const int room = swr_get_out_samples(resampler_.ctx, inSamples);
        if (room < 0) {
            error_ = tr("Die Audiodaten sind beschädigt.");
            return false;
        }
        if (room == 0) return true;
        const qint64 frameBytes = 2 * audio_.channels;
        const qint64 old = audio_.pcm.size();
        if (old + room * frameBytes > kMaxDecodedPcmBytes) {
            error_ = tr("Die Audiodatei ist zu lang.");
            return false;
        }
        audio_.pcm.resize(old + room * frameBytes);
        uint8_t* out = reinterpret_cast<uint8_t*>(audio_.pcm.data() + old);
        const int got = swr_convert(resampler_.ctx, &out, room, (const uint8_t**)(in), inSamples);
        if (got < 0) {
            audio_.pcm.resize(old);
            error_ = tr("Die Audiodaten sind beschädigt.");
            return false;
        }
        audio_.pcm.resize(old + got * frameBytes);
        return true;
    }

public:
    ~Decoder() { av_channel_layout_uninit(&inLayoutSeen_); }

private:
    DecodedAudio audio_;
    AVCodecContext* codec_ = nullptr;
    AVFrame* frame_ = nullptr;
    Resampler resampler_;
    int inFormat_ = -1;
    int inRate_ = 0;
    AVChannelLayout inLayoutSeen_{};
    int badPackets_ = 0;
    QString error_;
};

std::uint32_t le32(const char* p) {
    return std::uint32_t(std::uint8_t(p[0])) | std::uint32_t(std::uint8_t(p[1])) << 8 |
           std::uint32_t(std::uint8_t(p[2])) << 16 | std::uint32_t(std::uint8_t(p[3])) << 24;
}
std::uint16_t le16(const char* p) { return std::uint16_t(std::uint8_t(p[0]) | std::uint8_t(p[1]) << 8); }

// A 16-bit PCM WAVE with one or two channels is already what we play; read
// it directly. FFmpeg's WAVE reader scans the whole payload for hidden
// compressed streams first, which costs milliseconds on every start of the
// built-in tone. Anything less plain is left to FFmpeg.
std::optional<DecodedAudio> readPlainWave(const QByteArray& bytes) {
    const char* p = bytes.constData();
    const qint64 size = bytes.size();
    if (size < 12 || std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0) return std::nullopt;
    qint64 at = 12;
    bool haveFormat = false;
    DecodedAudio audio;
    while (at + 8 <= size) {
        const qint64 chunk = le32(p + at + 4);
        const qint64 body = at + 8;
        if (std::memcmp(p + at, "fmt ", 4) == 0) {
            if (chunk < 16 || body + 16 > size) return std::nullopt;
            const std::uint16_t format = le16(p + body);
            const std::uint16_t channels = le16(p + body + 2);
            const std::uint32_t rate = le32(p + body + 4);
            const std::uint16_t blockAlign = le16(p + body + 12);
            const std::uint16_t bits = le16(p + body + 14);
            if (format != 1 || bits != 16 || (channels != 1 && channels != 2) || rate == 0 || rate > 768000 ||
                blockAlign != 2 * channels)
                return std::nullopt;
            audio.channels = channels;
            audio.sampleRate = int(rate);
            haveFormat = true;
        } else if (std::memcmp(p + at, "data", 4) == 0) {
            if (!haveFormat) return std::nullopt;
            const qint64 frameBytes = 2 * audio.channels;
            // A cut-off file keeps the samples it has.
            const qint64 available = std::min<qint64>(chunk, size - body);
            const qint64 usable = std::min<qint64>(available - available % frameBytes, kMaxDecodedPcmBytes);
            audio.pcm = bytes.mid(body, usable);
            return audio;
        }
        at = body + chunk + (chunk & 1);  // chunks are padded to even sizes
    }
    return std::nullopt;
}

}  // namespace

DecodeResult decodeAudioFile(const QString& path) {
    FileSource source;
    source.file.setFileName(path);
    // A pipe or device named by a hostile settings file would block the open
    // or never end; only a regular file is a sound file.
    if (!QFileInfo(path).isFile() || !source.file.open(QIODevice::ReadOnly)) {
        DecodeResult r;
        r.error = tr("Die Datei kann nicht geöffnet werden.");
        return r;
    }
    if (source.file.size() == 0) {
        DecodeResult r;
        r.error = tr("Die Datei ist leer.");
        return r;
    }
    Decoder decoder;
    return decoder.run(source, nullptr);
}

DecodeResult decodeAudioData(const QByteArray& bytes, const char* typeHint) {
    if (bytes.isEmpty()) {
        DecodeResult r;
        r.error = tr("Die Datei ist leer.");
        return r;
    }
    if (std::optional<DecodedAudio> plain = readPlainWave(bytes)) {
        DecodeResult r;
        r.audio = std::move(plain);
        return r;
    }
    MemorySource source(bytes);
    Decoder decoder;
    return decoder.run(source, typeHint);
}

const QStringList& decodableExtensions() {
    // Keep in step with kDemuxers: mov reads m4a, ogg reads oga and opus.
    static const QStringList extensions{
        QStringLiteral("mp3"), QStringLiteral("wav"),  QStringLiteral("aiff"), QStringLiteral("aif"),
        QStringLiteral("m4a"), QStringLiteral("caf"),  QStringLiteral("flac"), QStringLiteral("oga"),
        QStringLiteral("ogg"), QStringLiteral("opus"),
    };
    return extensions;
}

}  // namespace corvane
