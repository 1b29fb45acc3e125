// Any input must decode without crashing, and whatever decodes must survive a
// write and a second read unchanged: the program saves what it loaded, and a
// value that shifts on every save would drift away from what the user set.
// The reader parses on its own over nlohmann's lexer; it must take the same
// texts as nlohmann's parser, and more only where that one stops at a number
// beyond the double range.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "model/JsonLimits.h"
#include "model/SettingsCodec.h"

namespace {

void compareWithNlohmann(const QByteArray& input, bool decoded) {
    // Its tree is destroyed recursively: only what our limits let through.
    if (input.size() > corvane::kMaxSettingsFileBytes ||
        !corvane::jsonNestingWithin(input, corvane::kMaxSettingsNesting))
        return;
    bool object = false;
    bool overflow = false;
    try {
        object = nlohmann::json::parse(input.cbegin(), input.cend()).is_object();
    } catch (const nlohmann::json::out_of_range&) {
        overflow = true;
    } catch (const nlohmann::json::exception&) {
    }
    if (decoded != object && !(decoded && overflow)) {
        std::fprintf(stderr, "decoder and nlohmann disagree (decoded %d):\n%s\n", int(decoded),
                     input.constData());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto first = corvane::decodeSettings(input);
    compareWithNlohmann(input, first.has_value());
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
