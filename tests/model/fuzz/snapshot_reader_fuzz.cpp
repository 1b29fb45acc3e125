// The widget reads whatever lies in the shared folder; no content may crash
// it or hang it. Whatever it accepts must also survive our own round trip.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "model/WidgetSnapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto snapshot = corvane::WidgetSnapshot::decode(bytes);
    if (snapshot) {
        const QByteArray again = snapshot->encode();
        const auto reread = corvane::WidgetSnapshot::decode(again);
        if (!reread || !(*reread == *snapshot) || reread->encode() != again) std::abort();
    }
    return 0;
}
