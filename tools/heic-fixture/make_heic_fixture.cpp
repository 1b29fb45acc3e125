// Writes the small HEIC photo the dial-image tests read: 64 x 48 pixels, the
// left half red and the right half blue, stored with the instruction to turn
// it 90 degrees clockwise for display (as phones store upright portraits).
// Read correctly it is 48 x 64 with red on top.
//
//   g++ -std=c++20 make_heic_fixture.cpp $(pkg-config --cflags --libs libheif) -o make_heic_fixture
//   ./make_heic_fixture ../../tests/platform/fixtures/rotated.heic

#include <libheif/heif.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.heic\n", argv[0]);
        return 2;
    }
    const int w = 64, h = 48;
    heif_init(nullptr);
    heif_context* ctx = heif_context_alloc();
    heif_image* image = nullptr;
    heif_image_create(w, h, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, w, h, 8);
    int stride = 0;
    uint8_t* p = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* px = p + y * stride + x * 3;
            const bool left = x < w / 2;
            px[0] = left ? 220 : 20;
            px[1] = 20;
            px[2] = left ? 20 : 220;
        }
    heif_encoder* encoder = nullptr;
    heif_context_get_encoder_for_format(ctx, heif_compression_HEVC, &encoder);
    heif_encoder_set_lossy_quality(encoder, 90);
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = heif_orientation_rotate_90_cw;
    heif_error err = heif_context_encode_image(ctx, image, encoder, options, nullptr);
    if (err.code != heif_error_Ok) {
        std::fprintf(stderr, "encode: %s\n", err.message);
        return 1;
    }
    err = heif_context_write_to_file(ctx, argv[1]);
    if (err.code != heif_error_Ok) {
        std::fprintf(stderr, "write: %s\n", err.message);
        return 1;
    }
    heif_encoding_options_free(options);
    heif_encoder_release(encoder);
    heif_image_release(image);
    heif_context_free(ctx);
    heif_deinit();
    return 0;
}
