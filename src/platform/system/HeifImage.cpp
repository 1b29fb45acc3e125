#include "platform/system/HeifImage.h"

#include <libheif/heif.h>

#include <QFile>
#include <QFileInfo>
#include <memory>

namespace corvane {

namespace {

struct ContextFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleFree {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageFree {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct OptionsFree {
    void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};

// A photo larger than this is refused before any pixel is decoded: the
// decoder would allocate width * height * 4 bytes first.
constexpr qint64 kMaxPixels = qint64(16384) * 16384;

// Opening a FIFO for reading waits for a writer, for ever if none comes;
// a path from the settings file may name anything. Only regular files are
// opened.
bool isPlainFile(const QString& path) { return QFileInfo(path).isFile(); }

}  // namespace

bool looksLikeHeif(const QString& path) {
    if (!isPlainFile(path)) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(64);
    if (head.size() < 12) return false;
    const heif_filetype_result kind =
        heif_check_filetype(reinterpret_cast<const uint8_t*>(head.constData()), int(head.size()));
    return kind == heif_filetype_yes_supported || kind == heif_filetype_maybe;
}

QImage readHeifImage(const QString& path, int maxSide) {
    // Once for the run, before the first context: the decoders register
    // themselves here, and images are read on several threads at once.
    static const bool initialised = heif_init(nullptr).code == heif_error_Ok;
    if (!initialised) return {};
    std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
    if (!context) return {};
    if (!isPlainFile(path)) return {};
    const QByteArray file = QFile::encodeName(path);
    if (heif_context_read_from_file(context.get(), file.constData(), nullptr).code != heif_error_Ok) return {};

    heif_image_handle* rawHandle = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &rawHandle).code != heif_error_Ok) return {};
    std::unique_ptr<heif_image_handle, HandleFree> handle(rawHandle);
    const qint64 w = heif_image_handle_get_width(handle.get());
    const qint64 h = heif_image_handle_get_height(handle.get());
    if (w <= 0 || h <= 0 || w * h > kMaxPixels) return {};

    std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    if (!options) return {};
    // The container's rotation and mirroring are what make the photo stand
    // upright; libheif applies them unless told not to.
    options->ignore_transformations = 0;
    options->convert_hdr_to_8bit = 1;
    heif_image* rawImage = nullptr;
    if (heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, options.get())
            .code != heif_error_Ok)
        return {};
    std::unique_ptr<heif_image, ImageFree> image(rawImage);

    int stride = 0;
    const uint8_t* pixels = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (!pixels || width <= 0 || height <= 0 || stride < width * 4) return {};

    // The plane belongs to the heif image: copy it before that is released.
    QImage out = QImage(pixels, width, height, stride, QImage::Format_RGBA8888).copy();
    if (out.isNull()) return {};
    if (maxSide > 0 && (out.width() > maxSide || out.height() > maxSide))
        out = out.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return out;
}

}  // namespace corvane
