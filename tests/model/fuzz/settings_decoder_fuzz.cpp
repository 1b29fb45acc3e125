// Any input must decode without crashing, and whatever decodes must survive a
// write and a second read unchanged: the program saves what it loaded, and a
// value that shifts on every save would drift away from what the user set.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "model/SettingsCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto first = corvane::decodeSettings(input);
    if (!first) return 0;

    const QByteArray written = corvane::encodeSettings(first->settings);
    if (written.isEmpty()) {
        std::fprintf(stderr, "decoded settings could not be encoded\n");
        std::abort();
    }
    const auto second = corvane::decodeSettings(written);
    if (!second) {
        std::fprintf(stderr, "re-encoded settings do not decode:\n%s\n", written.constData());
        std::abort();
    }
    if (second->droppedUnreadableKey || !(second->settings == first->settings)) {
        std::fprintf(stderr, "re-encoded settings decode differently:\n%s\n", written.constData());
        std::abort();
    }
    return 0;
}
