#include "services/Sonvela.h"

#include "model/Locale.h"

namespace corvane::Sonvela {

namespace {

// Region codes are two letters or three digits; anything else would be read
// by ICU as a locale with more parts than a region.
bool looksLikeRegionCode(const QString& code) {
    if (code.size() < 2 || code.size() > 3) {
        return false;
    }
    for (QChar c : code) {
        const char16_t u = c.unicode();
        if (!((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9'))) {
            return false;
        }
    }
    return true;
}

}  // namespace

QString Station::subtitle() const {
    QStringList parts;

    QString region;
    if (countrycode && looksLikeRegionCode(*countrycode)) {
        region = regionDisplayName(countrycode->toUpper());
    }
    if (!region.isEmpty()) {
        parts.append(region);
    } else if (country && !country->isEmpty()) {
        parts.append(*country);
    }

    const QString format = codec ? codec->toUpper() : QString();
    if (!format.isEmpty() && format != QLatin1String("UNKNOWN")) {
        if (bitrate && *bitrate > 0) {
            parts.append(format + u' ' + QString::number(*bitrate) + QStringLiteral(" kbit/s"));
        } else {
            parts.append(format);
        }
    }
    return parts.join(QStringLiteral(" \u00B7 "));
}

}  // namespace corvane::Sonvela
