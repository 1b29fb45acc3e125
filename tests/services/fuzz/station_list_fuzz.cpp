// Directory answers come from hosts we do not control; no body may crash or
// hang the decoder, and every station it accepts must be showable in the
// picker (name and subtitle) without trouble.
#include <QByteArray>
#include <cstdint>

#include "services/Sonvela.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto stations = corvane::Sonvela::decodeStations(body);
    if (!stations) return 0;
    for (const corvane::Sonvela::Station& station : *stations) {
        // What a picker row shows of it.
        (void)station.subtitle();
        (void)station.name.trimmed();
    }
    return 0;
}
