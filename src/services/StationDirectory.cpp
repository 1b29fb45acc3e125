#include "services/Sonvela.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <nlohmann/json.hpp>

#include "model/JsonLimits.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane::Sonvela {

namespace {

// A search asks for at most this many stations, and no more are kept of an
// answer: the picker lists every station it gets.
constexpr int kSearchLimit = 40;

// An answer of kSearchLimit stations is some 60 kB, a lookup 2 kB; a host
// sending far more is broken or hostile and is not read to the end.
constexpr qint64 kMaxBodyBytes = 2 * 1024 * 1024;

// A station list is an array of flat objects; a value of a field we do not
// read may nest a little. Anything deeper is not a station list, and must be
// turned away before the parser builds a tree of it.
constexpr int kMaxNesting = 16;

using Json = nlohmann::json;

enum class Field { ok, absent, wrongType };

Field readText(const Json& object, const char* key, QString& out) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return Field::absent;
    }
    if (!it->is_string()) {
        return Field::wrongType;
    }
    const std::string& text = it->get_ref<const std::string&>();
    out = QString::fromUtf8(text.data(), qsizetype(text.size()));
    return Field::ok;
}

// Integral JSON numbers only; 128.0 is accepted as the number 128, 128.5 and
// out-of-range values are a wrong type.
Field readInteger(const Json& object, const char* key, qint64& out) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return Field::absent;
    }
    if (it->is_number_unsigned()) {
        const auto value = it->get<std::uint64_t>();
        if (value > std::uint64_t(std::numeric_limits<qint64>::max())) {
            return Field::wrongType;
        }
        out = qint64(value);
        return Field::ok;
    }
    if (it->is_number_integer()) {
        out = it->get<std::int64_t>();
        return Field::ok;
    }
    if (it->is_number_float()) {
        const double value = it->get<double>();
        // 2^63 as a double is the first value outside qint64.
        if (!std::isfinite(value) || std::trunc(value) != value || value < -9223372036854775808.0 ||
            value >= 9223372036854775808.0) {
            return Field::wrongType;
        }
        out = qint64(value);
        return Field::ok;
    }
    return Field::wrongType;
}

bool readOptionalText(const Json& object, const char* key, std::optional<QString>& out) {
    QString value;
    switch (readText(object, key, value)) {
    case Field::ok:
        out = std::move(value);
        return true;
    case Field::absent:
        return true;
    case Field::wrongType:
        return false;
    }
    return false;
}

bool readOptionalInteger(const Json& object, const char* key, std::optional<qint64>& out) {
    qint64 value = 0;
    switch (readInteger(object, key, value)) {
    case Field::ok:
        out = value;
        return true;
    case Field::absent:
        return true;
    case Field::wrongType:
        return false;
    }
    return false;
}

StationError makeError(StationError::Kind kind, QString detail) {
    return StationError{kind, std::move(detail)};
}

}  // namespace

std::optional<QList<Station>> decodeStations(const QByteArray& body) {
    if (!jsonNestingWithin(body, kMaxNesting)) {
        return std::nullopt;
    }
    const Json document = Json::parse(body.constBegin(), body.constEnd(), nullptr, /*allow_exceptions=*/false);
    if (!document.is_array()) {
        return std::nullopt;
    }
    QList<Station> stations;
    stations.reserve(qsizetype(document.size()));
    for (const Json& object : document) {
        if (!object.is_object()) {
            return std::nullopt;
        }
        Station station;
        if (readText(object, "stationuuid", station.stationuuid) != Field::ok ||
            readText(object, "name", station.name) != Field::ok ||
            !readOptionalText(object, "country", station.country) ||
            !readOptionalText(object, "countrycode", station.countrycode) ||
            !readOptionalText(object, "codec", station.codec) ||
            !readOptionalInteger(object, "bitrate", station.bitrate) ||
            !readOptionalInteger(object, "lastcheckok", station.lastcheckok)) {
            return std::nullopt;
        }
        stations.append(std::move(station));
    }
    return stations;
}

QList<QUrl> DirectoryOptions::defaultHosts() {
    return {QUrl(QStringLiteral("https://de2.api.radio-browser.info")),
            QUrl(QStringLiteral("https://fi1.api.radio-browser.info"))};
}

QByteArray userAgent() {
    return QByteArrayLiteral("Corvane/" CORVANE_VERSION);
}

QNetworkAccessManager& session() {
    Q_ASSERT(QCoreApplication::instance() != nullptr &&
             QThread::currentThread() == QCoreApplication::instance()->thread());
    // Kept for the life of the process so connections are reused between the
    // searches of one typing burst.
    static QNetworkAccessManager* const manager = [] {
        auto* m = new QNetworkAccessManager;
        m->setCache(nullptr);
        m->setTransferTimeout(10000);
        return m;
    }();
    return *manager;
}

StationRequest::StationRequest(QString path, QueryItems items, Filter filter, DirectoryOptions options,
                               QObject* parent)
    : QObject(parent),
      path_(std::move(path)),
      query_(encodeQuery(items)),
      filter_(filter),
      options_(std::move(options)),
      lastError_(makeError(StationError::Kind::cannotFindHost, QStringLiteral("no usable directory host"))) {
    started_.start();
    attemptTimer_ = new QTimer(this);
    attemptTimer_->setSingleShot(true);
    connect(attemptTimer_, &QTimer::timeout, this, &StationRequest::onAttemptExpired);
    tryNextHost();
}

StationRequest::StationRequest(QObject* parent) : QObject(parent), filter_(Filter::search) {
    finish(std::nullopt, {});
}

StationRequest::~StationRequest() {
    dropReply();
}

void StationRequest::dropReply() {
    if (reply_ != nullptr) {
        QNetworkReply* reply = reply_;
        reply_ = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void StationRequest::cancel() {
    if (cancelled_) {
        return;
    }
    cancelled_ = true;
    if (attemptTimer_ != nullptr) {
        attemptTimer_->stop();
    }
    dropReply();
}

std::optional<Station> StationRequest::station() const {
    if (stations_.isEmpty()) {
        return std::nullopt;
    }
    return stations_.first();
}

namespace {

// What a caller gets of a decoded answer.
QList<Station> keptStations(QList<Station> decoded, StationRequest::Filter filter) {
    QList<Station> kept;
    kept.reserve(std::min<qsizetype>(decoded.size(), kSearchLimit));
    for (Station& station : decoded) {
        if (station.stationuuid.isEmpty()) {
            continue;
        }
        // A station whose stream failed the directory's last check is not
        // offered when picking, but a stored one is still looked up.
        if (filter == StationRequest::Filter::search && station.lastcheckok && *station.lastcheckok == 0) {
            continue;
        }
        kept.append(std::move(station));
        if (filter == StationRequest::Filter::lookup ||
            (filter == StationRequest::Filter::search && kept.size() == kSearchLimit)) {
            break;
        }
    }
    return kept;
}

}  // namespace

void StationRequest::tryNextHost() {
    ++attempt_;
    decoding_ = false;
    attemptTimer_->stop();
    while (nextHost_ < options_.hosts.size()) {
        const QUrl base = options_.hosts[nextHost_++];
        if (!base.isValid() || base.host().isEmpty()) {
            continue;  // the last error stays what it was
        }
        QUrl url = base;
        QString basePath = base.path();
        while (basePath.endsWith(u'/')) {
            basePath.chop(1);
        }
        url.setPath(basePath + path_);
        url.setQuery(QString::fromLatin1(query_), QUrl::StrictMode);
        if (!url.isValid()) {
            continue;
        }

        const qint64 left = qint64(options_.deadlineMs) - started_.elapsed();
        if (left <= 0) {
            lastError_ = makeError(StationError::Kind::timedOut, QStringLiteral("deadline passed"));
            break;
        }
        // This host and every one after it get the same share of what is left.
        const qint64 hostsLeft = options_.hosts.size() - nextHost_ + 1;
        attemptTimer_->start(int(std::max<qint64>(1, left / hostsLeft)));

        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
        // Uncompressed, so that the byte cap below also caps the memory the
        // answer takes; directory answers are small anyway.
        request.setRawHeader("Accept-Encoding", "identity");
        request.setTransferTimeout(options_.transferTimeoutMs);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
        request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);

        QNetworkReply* reply = session().get(request);
        reply_ = reply;
        connect(reply, &QNetworkReply::finished, this, &StationRequest::onReplyFinished);
        connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64 total) {
            if ((received > kMaxBodyBytes || total > kMaxBodyBytes) && reply_ == reply) {
                oversized_ = true;
                reply->abort();
            }
        });
        return;
    }
    finish(lastError_, {});
}

void StationRequest::onAttemptExpired() {
    if (finished_ || cancelled_) {
        return;
    }
    const QString where = reply_ != nullptr ? reply_->url().host() : QStringLiteral("directory");
    dropReply();
    lastError_ = makeError(StationError::Kind::timedOut, where + QStringLiteral(": no complete answer in time"));
    tryNextHost();
}

void StationRequest::onReplyFinished() {
    QNetworkReply* reply = reply_;
    if (reply == nullptr || sender() != reply) {
        return;
    }
    reply_ = nullptr;
    reply->deleteLater();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QString where = reply->url().host();
    if (oversized_) {
        oversized_ = false;
        lastError_ = makeError(StationError::Kind::undecodable, where + QStringLiteral(": response too large"));
    } else if (status.isValid() && status.toInt() != 200) {
        lastError_ = makeError(StationError::Kind::badServerResponse,
                               where + QStringLiteral(": HTTP status %1").arg(status.toInt()));
    } else if (reply->error() == QNetworkReply::OperationCanceledError ||
               reply->error() == QNetworkReply::TimeoutError) {
        // We abort only through cancel() or dropReply(), which disconnect
        // first; an abort seen here is the transfer timeout.
        lastError_ = makeError(StationError::Kind::timedOut, where + QStringLiteral(": timed out"));
    } else if (reply->error() != QNetworkReply::NoError) {
        lastError_ = makeError(StationError::Kind::network, where + QStringLiteral(": ") + reply->errorString());
    } else if (!status.isValid()) {
        lastError_ = makeError(StationError::Kind::badServerResponse, where + QStringLiteral(": not HTTP"));
    } else {
        // Decoded on a worker, the result handed back through the event
        // loop; the deadline keeps running meanwhile.
        decoding_ = true;
        QPointer<StationRequest> self(this);
        const int attempt = attempt_;
        const Filter filter = filter_;
        QThreadPool::globalInstance()->start([self, attempt, filter, where, body = reply->readAll()]() mutable {
            std::optional<QList<Station>> stations = decodeStations(body);
            if (stations) {
                stations = keptStations(std::move(*stations), filter);
            }
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self = std::move(self), attempt, where, stations = std::move(stations)]() mutable {
                    if (self) {
                        self->onDecoded(attempt, where, std::move(stations));
                    }
                },
                Qt::QueuedConnection);
        });
        return;
    }
    tryNextHost();
}

void StationRequest::onDecoded(int attempt, const QString& where, std::optional<QList<Station>> stations) {
    if (attempt != attempt_ || !decoding_ || finished_ || cancelled_) {
        return;  // given up on meanwhile
    }
    decoding_ = false;
    if (stations) {
        attemptTimer_->stop();
        finish(std::nullopt, std::move(*stations));
        return;
    }
    lastError_ = makeError(StationError::Kind::undecodable, where + QStringLiteral(": unreadable station list"));
    tryNextHost();
}

void StationRequest::finish(std::optional<StationError> error, QList<Station> stations) {
    finished_ = true;
    if (attemptTimer_ != nullptr) {
        attemptTimer_->stop();
    }
    error_ = std::move(error);
    stations_ = std::move(stations);
    // Always from the event loop: a request may end inside its constructor
    // (blank search, no usable host), before the caller could connect.
    QTimer::singleShot(0, this, [this] {
        if (!cancelled_) {
            Q_EMIT finished();
        }
    });
}

StationRequest* fetchStations(const QString& path, const QueryItems& items, QObject* parent,
                              const DirectoryOptions& options) {
    return new StationRequest(path, items, StationRequest::Filter::none, options, parent);
}

StationRequest* searchStations(const QString& name, QObject* parent, const DirectoryOptions& options) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        return new StationRequest(parent);
    }
    return new StationRequest(QStringLiteral("/json/stations/search"),
                              {{QStringLiteral("name"), trimmed},
                               {QStringLiteral("hidebroken"), QStringLiteral("true")},
                               {QStringLiteral("order"), QStringLiteral("votes")},
                               {QStringLiteral("reverse"), QStringLiteral("true")},
                               {QStringLiteral("limit"), QString::number(kSearchLimit)}},
                              StationRequest::Filter::search, options, parent);
}

StationRequest* station(const QString& uuid, QObject* parent, const DirectoryOptions& options) {
    return new StationRequest(QStringLiteral("/json/stations/byuuid"), {{QStringLiteral("uuids"), uuid}},
                              StationRequest::Filter::lookup, options, parent);
}

}  // namespace corvane::Sonvela
