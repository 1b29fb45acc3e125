// One line of the city catalogue, in every display language: no content may
// crash the reader, and whatever it accepts must be a usable city.
#include <QList>
#include <QString>
#include <QStringView>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "model/WorldCity.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QStringView> fields = QStringView(line).split(u'\t');
    for (const char16_t* language : {u"de", u"en", u"es", u""}) {
        const auto city = corvane::WorldCity::parseLine(fields, language);
        if (!city) continue;
        if (fields.size() < 7 || city->name.isEmpty()) std::abort();
        if (!std::isfinite(city->lat) || !std::isfinite(city->lon)) std::abort();
        if (city->tz != fields[4] || !city->timeZone().isValid()) std::abort();
        if (city->isCapital != (fields[6] == u"1")) std::abort();
        (void)city->populationText();
    }
    return 0;
}
