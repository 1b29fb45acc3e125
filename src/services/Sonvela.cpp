#include "services/Sonvela.h"

#include "platform/system/ProcessScan.h"
#include "platform/system/PulseAudio.h"
#include "platform/system/SchemeHandler.h"

#include <QByteArrayList>

#include <algorithm>
#include <limits>

namespace corvane::Sonvela {

namespace {

struct Seams {
    UrlSchemeHandler* handler = nullptr;
    ProcessFinder* finder = nullptr;
    AudioOutputStatus* audio = nullptr;
};

Seams& seams() {
    static Seams instance;
    return instance;
}

UrlSchemeHandler& schemeHandler() {
    if (seams().handler != nullptr) {
        return *seams().handler;
    }
    // Made on first use, on the main thread, and kept: its cache must live
    // as long as the views that ask it.
    static GioSchemeHandler* const gio = new GioSchemeHandler(QByteArray(kScheme));
    return *gio;
}

const ProcessFinder& processFinder() {
    if (seams().finder != nullptr) {
        return *seams().finder;
    }
    static const ProcProcessFinder proc(QString::fromLatin1(kScheme), QString::fromLatin1(kAppId));
    return proc;
}

// An optional sign and ASCII digits only, within 64 bits. Blanks, decimal
// points and other scripts' digits are not numbers here: the radio program
// would not read them either.
std::optional<qint64> parseStrictInteger(const QString& text) {
    qsizetype index = 0;
    bool negative = false;
    if (index < text.size() && (text[index] == u'+' || text[index] == u'-')) {
        negative = text[index] == u'-';
        ++index;
    }
    if (index == text.size()) {
        return std::nullopt;
    }
    const quint64 limit = negative ? quint64(std::numeric_limits<qint64>::max()) + 1
                                   : quint64(std::numeric_limits<qint64>::max());
    quint64 value = 0;
    for (; index < text.size(); ++index) {
        const char16_t c = text[index].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        const quint64 digit = c - u'0';
        if (value > (limit - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    if (negative) {
        return value == quint64(std::numeric_limits<qint64>::max()) + 1 ? std::numeric_limits<qint64>::min()
                                                                         : -qint64(value);
    }
    return qint64(value);
}

}  // namespace

QByteArray encodeQuery(const QueryItems& items) {
    QByteArray query;
    for (const auto& [name, value] : items) {
        if (!query.isEmpty()) {
            query += '&';
        }
        // toPercentEncoding leaves only letters, digits and "-._~" bare.
        query += QUrl::toPercentEncoding(name);
        query += '=';
        query += QUrl::toPercentEncoding(value);
    }
    return query;
}

std::optional<QUrl> wakeURL(const AlarmSettings& alarm) {
    QueryItems items;
    switch (alarm.radioMode) {
    case AlarmSettings::RadioMode::randomFavorite:
        items.append({QStringLiteral("station"), QStringLiteral("random")});
        break;
    case AlarmSettings::RadioMode::station:
        if (!alarm.radioStationUUID || alarm.radioStationUUID->isEmpty()) {
            return std::nullopt;
        }
        items.append({QStringLiteral("station"), *alarm.radioStationUUID});
        break;
    case AlarmSettings::RadioMode::lastPlayed:
        break;
    }
    items.append({QStringLiteral("fade"), QString::number(alarm.fadeSeconds)});
    items.append({QStringLiteral("volume"), QString::number(alarm.radioVolume)});

    QUrl url;
    url.setScheme(QString::fromLatin1(kScheme));
    url.setHost(QString::fromLatin1(kWakeHost));
    url.setQuery(QString::fromLatin1(encodeQuery(items)), QUrl::StrictMode);
    if (!url.isValid()) {
        return std::nullopt;
    }
    return url;
}

bool isInstalled() {
    return schemeHandler().hasHandler();
}

bool openWake(const AlarmSettings& alarm) {
    if (!isInstalled()) {
        return false;
    }
    const std::optional<QUrl> url = wakeURL(alarm);
    if (!url) {
        return false;
    }
    return schemeHandler().open(*url);
}

QUrl webPageURL() {
    return QUrl(QStringLiteral("https://sonvela.velmor.de"));
}

std::optional<QString> firstQueryValue(const QString& name, const QUrl& components) {
    if (!components.hasQuery()) {
        return std::nullopt;
    }
    const QByteArray query = components.query(QUrl::FullyEncoded).toLatin1();
    for (const QByteArray& item : query.split('&')) {
        const qsizetype equals = item.indexOf('=');
        const QByteArray rawName = equals < 0 ? item : item.left(equals);
        if (QUrl::fromPercentEncoding(rawName) != name) {
            continue;
        }
        if (equals < 0) {
            return std::nullopt;
        }
        return QUrl::fromPercentEncoding(item.mid(equals + 1));
    }
    return std::nullopt;
}

std::optional<WakeLink> WakeLink::parse(const QString& text) {
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid()) {
        return std::nullopt;
    }
    if (url.scheme().toLower() != QLatin1String(kScheme) || url.host().toLower() != QLatin1String(kWakeHost)) {
        return std::nullopt;
    }

    WakeLink link;
    if (const auto fade = firstQueryValue(QStringLiteral("fade"), url)) {
        link.fade = parseStrictInteger(*fade);
    }
    if (const auto volume = firstQueryValue(QStringLiteral("volume"), url)) {
        link.volume = parseStrictInteger(*volume);
    }
    const std::optional<QString> station = firstQueryValue(QStringLiteral("station"), url);
    if (!station || station->isEmpty()) {
        link.mode = AlarmSettings::RadioMode::lastPlayed;
    } else if (station->toLower() == QLatin1String("random")) {
        link.mode = AlarmSettings::RadioMode::randomFavorite;
    } else {
        link.mode = AlarmSettings::RadioMode::station;
        link.stationUUID = *station;
    }
    return link;
}

std::optional<bool> isRadioPlaying() {
    const std::vector<qint64> pids = processFinder().pids();
    if (pids.empty()) {
        return false;
    }
    const AudioOutputStatus& audio = seams().audio != nullptr ? *seams().audio : PulseAudio::shared();
    // No server, or a server that lists no stream at all (not even another
    // program's), cannot tell us the radio is silent.
    const std::optional<std::vector<SinkInputInfo>> streams = audio.sinkInputs();
    if (!streams || streams->empty()) {
        return std::nullopt;
    }
    for (const SinkInputInfo& stream : *streams) {
        if (!stream.corked && std::find(pids.begin(), pids.end(), stream.pid) != pids.end()) {
            return true;
        }
    }
    return false;
}

void setSchemeHandler(UrlSchemeHandler* handler) {
    seams().handler = handler;
}

void setProcessFinder(ProcessFinder* finder) {
    seams().finder = finder;
}

void setAudioStatus(AudioOutputStatus* status) {
    seams().audio = status;
}

}  // namespace corvane::Sonvela
