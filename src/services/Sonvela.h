#pragma once

#include "model/Settings.h"

#include <QList>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <optional>
#include <utility>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace corvane {

class UrlSchemeHandler;
class ProcessFinder;
class AudioOutputStatus;

// The link to the separate radio program: we reach it only through the
// desktop (its URL scheme, its processes, the sound server's streams) and
// through the public station directory it plays from.
namespace Sonvela {

inline constexpr char kScheme[] = "sonvela";
inline constexpr char kWakeHost[] = "play";
inline constexpr char kProbeURL[] = "sonvela://open";
inline constexpr char kAppId[] = "de.velmor.sonvela";

// --- Wake URL and wake links -------------------------------------------------

std::optional<QUrl> wakeURL(const AlarmSettings& alarm);

// True only when the desktop really started (or handed the URL to) the radio
// program.
bool openWake(const AlarmSettings& alarm);

// Answers from a cache kept current by the desktop's application database, so
// views may call it on every repaint.
bool isInstalled();

// The page offered for download when the radio program is missing.
QUrl webPageURL();

// The value of the first query item named exactly `name`; none when the URL
// has no query, no such item, or the item has no "=".
std::optional<QString> firstQueryValue(const QString& name, const QUrl& components);

struct WakeLink {
    AlarmSettings::RadioMode mode = AlarmSettings::RadioMode::lastPlayed;
    std::optional<QString> stationUUID;
    std::optional<qint64> fade;
    std::optional<qint64> volume;

    // A link copied from the radio program, e.g. "sonvela://play?station=random&fade=20".
    static std::optional<WakeLink> parse(const QString& text);

    friend bool operator==(const WakeLink&, const WakeLink&) = default;
};

// --- Is the radio playing ----------------------------------------------------

// Yes, no, or none for undetermined. Only yes counts as sound.
std::optional<bool> isRadioPlaying();

// The system seams. Each pointer is not owned and must outlive its use;
// nullptr restores the default (GIO, /proc, the shared PulseAudio
// connection). Main thread.
void setSchemeHandler(UrlSchemeHandler* handler);
void setProcessFinder(ProcessFinder* finder);
void setAudioStatus(AudioOutputStatus* status);

// --- Station directory ---------------------------------------------------------

struct Station {
    QString stationuuid;
    QString name;
    std::optional<QString> country;
    std::optional<QString> countrycode;
    std::optional<QString> codec;
    std::optional<qint64> bitrate;
    std::optional<qint64> lastcheckok;

    // "Deutschland · MP3 128 kbit/s": region name in the display language
    // (else the directory's country text) and the stream format.
    QString subtitle() const;

    friend bool operator==(const Station&, const Station&) = default;
};

// Decodes a directory response: a JSON array of station objects. None when
// the body is not such an array, is nested deeper than a station list ever
// is, or any object lacks a required field or has a field of the wrong type.
// Safe on any thread; requests run it on a worker so that a large answer
// never holds up the window.
std::optional<QList<Station>> decodeStations(const QByteArray& body);

struct StationError {
    enum class Kind {
        cannotFindHost,     // no usable host address
        badServerResponse,  // an answer, but not status 200
        network,            // the transfer failed
        timedOut,           // no progress within the transfer timeout, or past the deadline
        undecodable,        // status 200 with a body we cannot read
    };
    Kind kind = Kind::cannotFindHost;
    QString detail;  // technical, for logs; callers word their own message
};

// Where the directory lives and how long a request may take. Injectable so
// tests can point at a loopback server and run on short times.
struct DirectoryOptions {
    QList<QUrl> hosts = defaultHosts();
    // How long a transfer may stay silent.
    int transferTimeoutMs = 10000;
    // How long the whole request may take over all hosts. The transfer
    // timeout alone would let a host that trickles a byte now and then keep
    // it going for ever. Each host gets an equal share of what is left when
    // it is asked, so a stalling first host still leaves time for the second.
    int deadlineMs = 20000;

    static QList<QUrl> defaultHosts();
};

// The one network session of the program, made on first use (main thread):
// nothing cached, no cookies kept, a 10 s transfer timeout.
QNetworkAccessManager& session();

QByteArray userAgent();

using QueryItems = QList<std::pair<QString, QString>>;

// One directory request, tried on each host in turn until one gives a
// readable answer. `finished` is emitted once on the main thread unless the
// request was cancelled. Deleting the request cancels it.
class StationRequest : public QObject {
    Q_OBJECT
public:
    enum class Filter { none, search, lookup };

    // Starts at once.
    StationRequest(QString path, QueryItems items, Filter filter, DirectoryOptions options,
                   QObject* parent = nullptr);
    ~StationRequest() override;

    // Stops the transfer; no `finished` follows. Harmless once finished.
    void cancel();

    bool isFinished() const { return finished_; }
    bool isCancelled() const { return cancelled_; }
    // Valid once finished: either an error or the stations.
    const std::optional<StationError>& error() const { return error_; }
    const QList<Station>& stations() const { return stations_; }
    // The looked-up station, when the directory knew it.
    std::optional<Station> station() const;

Q_SIGNALS:
    void finished();

private:
    friend StationRequest* searchStations(const QString&, QObject*, const DirectoryOptions&);
    // Already finished with no stations; `finished` follows from the event loop.
    explicit StationRequest(QObject* parent);

    void tryNextHost();
    void onReplyFinished();
    void onAttemptExpired();
    void onDecoded(int attempt, const QString& where, std::optional<QList<Station>> stations);
    void finish(std::optional<StationError> error, QList<Station> stations);
    void dropReply();

    QString path_;
    QByteArray query_;
    Filter filter_;
    DirectoryOptions options_;
    qsizetype nextHost_ = 0;
    // Counts the hosts asked, so that a decode still running for a host
    // given up on is recognised and dropped.
    int attempt_ = 0;
    bool decoding_ = false;
    StationError lastError_;
    QElapsedTimer started_;
    QTimer* attemptTimer_ = nullptr;
    QPointer<QNetworkReply> reply_;
    bool oversized_ = false;
    bool finished_ = false;
    bool cancelled_ = false;
    std::optional<StationError> error_;
    QList<Station> stations_;
};

// Every request below is already running when returned; the caller owns it
// (or its `parent` does).
StationRequest* fetchStations(const QString& path, const QueryItems& items, QObject* parent = nullptr,
                              const DirectoryOptions& options = {});
// A blank name finishes with no stations and sends nothing.
StationRequest* searchStations(const QString& name, QObject* parent = nullptr,
                               const DirectoryOptions& options = {});
StationRequest* station(const QString& uuid, QObject* parent = nullptr, const DirectoryOptions& options = {});

// Query text with every value fully percent-encoded: a "+" would otherwise
// read as a space, and "&", "=", "#" would split or end the query.
QByteArray encodeQuery(const QueryItems& items);

}  // namespace Sonvela
}  // namespace corvane
