#include "services/Sonvela.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "TestWait.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

using namespace corvane;
using Sonvela::Station;
using Sonvela::StationError;
using Sonvela::StationRequest;

namespace {

struct Answer {
    int status = 200;
    QByteArray body;
    bool hang = false;    // read the request, never answer
    int trickleMs = 0;    // > 0: promise a large body, then send one byte this often
    bool noLength = false;  // no Content-Length: the body ends when the connection closes
};

Answer ok(QByteArray body) {
    return {200, std::move(body), false};
}
Answer status(int code) {
    return {code, "{\"error\":true}", false};
}
Answer hang() {
    return {0, {}, true};
}
Answer trickle(int everyMs) {
    Answer a;
    a.trickleMs = everyMs;
    return a;
}
Answer unsized(QByteArray body) {
    Answer a = ok(std::move(body));
    a.noLength = true;
    return a;
}

// A directory mirror on loopback: answers each request with the next queued
// answer (the last one repeats) and records what it was asked.
class FakeHost : public QObject {
public:
    explicit FakeHost(QList<Answer> answers) : answers_(std::move(answers)) {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onData(socket); });
            }
        });
    }

    QUrl base() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort())); }
    qsizetype requestCount() const { return heads_.size(); }
    // "GET /path?query HTTP/1.1" without the method and version.
    QByteArray target(qsizetype i) const { return heads_.value(i).split('\n').value(0).split(' ').value(1); }
    QByteArray header(qsizetype i, const QByteArray& name) const {
        for (const QByteArray& line : heads_.value(i).split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower()) {
                return line.mid(colon + 1).trimmed();
            }
        }
        return {};
    }

private:
    void onData(QTcpSocket* socket) {
        QByteArray& buffer = buffers_[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) {
            return;
        }
        heads_.append(buffer.left(end));
        buffer.clear();
        const Answer answer = answers_.isEmpty() ? status(500) : answers_.size() > 1 ? answers_.takeFirst()
                                                                                        : answers_.first();
        if (answer.hang) {
            return;
        }
        QByteArray response = "HTTP/1.1 " + QByteArray::number(answer.status) + " X\r\n";
        response += "Content-Type: application/json\r\nConnection: close\r\n";
        if (answer.trickleMs > 0) {
            // Never silent long enough for the transfer timeout, never done.
            socket->write(response + "Content-Length: 1000000\r\n\r\n[");
            auto* drip = new QTimer(socket);
            connect(drip, &QTimer::timeout, socket, [socket] { socket->write(" "); });
            drip->start(answer.trickleMs);
            return;
        }
        if (!answer.noLength) {
            response += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
        }
        response += "\r\n" + answer.body;
        socket->write(response);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QList<Answer> answers_;
    QList<QByteArray> heads_;
    QHash<QTcpSocket*, QByteArray> buffers_;
};

const QByteArray kTwoStations = R"([
  {"stationuuid":"u-1","name":"Eins","country":"Germany","countrycode":"DE","codec":"MP3","bitrate":128,
   "lastcheckok":1,"votes":99,"url":"http://x"},
  {"stationuuid":"u-2","name":"Zwei","country":null,"countrycode":null,"codec":null,"bitrate":null}
])";

Sonvela::DirectoryOptions hosts(const QList<QUrl>& urls, int timeoutMs = 5000, int deadlineMs = 20000) {
    Sonvela::DirectoryOptions options;
    options.hosts = urls;
    options.transferTimeoutMs = timeoutMs;
    options.deadlineMs = deadlineMs;
    return options;
}

// Waits for `finished`; fails the test when it does not come.
void await(StationRequest& request, int ms = 10000) {
    QSignalSpy spy(&request, &StationRequest::finished);
    ASSERT_TRUE(spy.wait(ms));
    ASSERT_TRUE(request.isFinished());
}

QStringList uuids(const QList<Station>& stations) {
    QStringList out;
    for (const Station& s : stations) {
        out.append(s.stationuuid);
    }
    return out;
}

}  // namespace

TEST(StationDirectory, SearchFailsOverToTheSecondHostAndSendsTheExpectedRequest) {
    FakeHost first({status(503)});
    FakeHost second({ok(kTwoStations)});
    std::unique_ptr<StationRequest> request(
        Sonvela::searchStations(QStringLiteral(" \tJazz FM\n"), nullptr, hosts({first.base(), second.base()})));
    await(*request);

    EXPECT_FALSE(request->error().has_value());
    ASSERT_EQ(request->stations().size(), 2);
    Station eins;
    eins.stationuuid = QStringLiteral("u-1");
    eins.name = QStringLiteral("Eins");
    eins.country = QStringLiteral("Germany");
    eins.countrycode = QStringLiteral("DE");
    eins.codec = QStringLiteral("MP3");
    eins.bitrate = 128;
    eins.lastcheckok = 1;
    EXPECT_EQ(request->stations()[0], eins);
    EXPECT_EQ(request->stations()[1].name, QStringLiteral("Zwei"));
    EXPECT_FALSE(request->stations()[1].country.has_value());

    ASSERT_EQ(first.requestCount(), 1);
    ASSERT_EQ(second.requestCount(), 1);
    const QByteArray target = "/json/stations/search?name=Jazz%20FM&hidebroken=true&order=votes&reverse=true&limit=40";
    EXPECT_EQ(first.target(0), target);
    EXPECT_EQ(second.target(0), target);
    EXPECT_EQ(second.header(0, "User-Agent"), QByteArray("Corvane/" CORVANE_VERSION));
}

TEST(StationDirectory, QueryValuesAreFullyEncoded) {
    FakeHost host({ok("[]")});
    std::unique_ptr<StationRequest> search(
        Sonvela::searchStations(QStringLiteral("Rock+Pop & Co=1 #2 ä"), nullptr, hosts({host.base()})));
    await(*search);
    std::unique_ptr<StationRequest> lookup(
        Sonvela::station(QStringLiteral(" id+1&x=2"), nullptr, hosts({host.base()})));
    await(*lookup);

    ASSERT_EQ(host.requestCount(), 2);
    EXPECT_TRUE(host.target(0).startsWith(
        "/json/stations/search?name=Rock%2BPop%20%26%20Co%3D1%20%232%20%C3%A4&hidebroken=true&"))
        << host.target(0).toStdString();
    // A stored id is sent as it is, blanks included.
    EXPECT_EQ(host.target(1), QByteArray("/json/stations/byuuid?uuids=%20id%2B1%26x%3D2"));
}

// A loopback address where nothing listens, so connecting is refused.
QUrl refusedUrl() {
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
}

TEST(StationDirectory, WhenBothHostsFailTheSecondHostsErrorSurfaces) {
    struct Case {
        const char* what;
        Answer first;
        std::optional<Answer> second;  // none: the second host refuses connections
        StationError::Kind expected;
    };
    const Case cases[] = {
        {"503 then not an array", status(503), ok(R"({"stations":[]})"), StationError::Kind::undecodable},
        {"not JSON then 500", ok("<html>"), status(500), StationError::Kind::badServerResponse},
        {"object without name then 404", ok(R"([{"stationuuid":"a"}])"), status(404),
         StationError::Kind::badServerResponse},
        {"wrong type then refused", ok(R"([{"stationuuid":"a","name":"n","bitrate":"128"}])"), std::nullopt,
         StationError::Kind::network},
    };
    for (const Case& c : cases) {
        FakeHost first({c.first});
        std::unique_ptr<FakeHost> second;
        QUrl secondUrl = refusedUrl();
        if (c.second) {
            second = std::make_unique<FakeHost>(QList<Answer>{*c.second});
            secondUrl = second->base();
        }
        std::unique_ptr<StationRequest> request(
            Sonvela::searchStations(QStringLiteral("x"), nullptr, hosts({first.base(), secondUrl})));
        await(*request);
        ASSERT_TRUE(request->error().has_value()) << c.what;
        EXPECT_EQ(request->error()->kind, c.expected) << c.what << ": " << request->error()->detail.toStdString();
        EXPECT_TRUE(request->stations().isEmpty()) << c.what;
        EXPECT_EQ(first.requestCount(), 1) << c.what;
        if (second) {
            EXPECT_EQ(second->requestCount(), 1) << c.what;
        }
    }
}

TEST(StationDirectory, NoUsableHostIsCannotFindHost) {
    for (const QList<QUrl>& list : {QList<QUrl>{}, QList<QUrl>{QUrl(), QUrl(QStringLiteral("file:///tmp"))}}) {
        std::unique_ptr<StationRequest> request(Sonvela::searchStations(QStringLiteral("x"), nullptr, hosts(list)));
        await(*request);
        ASSERT_TRUE(request->error().has_value());
        EXPECT_EQ(request->error()->kind, StationError::Kind::cannotFindHost);
    }
}

TEST(StationDirectory, AnUnreadableAnswerMovesOnToTheSecondHost) {
    FakeHost first({ok(R"([{"stationuuid":"a","name":"A"},{"stationuuid":"b"}])")});
    FakeHost second({ok(kTwoStations)});
    std::unique_ptr<StationRequest> request(
        Sonvela::searchStations(QStringLiteral("x"), nullptr, hosts({first.base(), second.base()})));
    await(*request);
    EXPECT_FALSE(request->error().has_value());
    EXPECT_EQ(uuids(request->stations()), (QStringList{QStringLiteral("u-1"), QStringLiteral("u-2")}));
}

TEST(StationDirectory, EmptyIdsAreDroppedEverywhereAndBrokenStreamsOnlyFromSearches) {
    const QByteArray body = R"([
      {"stationuuid":"","name":"Ohne Kennung","lastcheckok":1},
      {"stationuuid":"broken","name":"Kaputt","lastcheckok":0},
      {"stationuuid":"good","name":"Gut","lastcheckok":1},
      {"stationuuid":"unchecked","name":"Ungeprüft"}
    ])";
    FakeHost host({ok(body)});
    const auto options = hosts({host.base()});

    std::unique_ptr<StationRequest> search(Sonvela::searchStations(QStringLiteral("x"), nullptr, options));
    await(*search);
    EXPECT_EQ(uuids(search->stations()), (QStringList{QStringLiteral("good"), QStringLiteral("unchecked")}));

    std::unique_ptr<StationRequest> fetch(Sonvela::fetchStations(
        QStringLiteral("/json/stations/search"), {{QStringLiteral("name"), QStringLiteral("x")}}, nullptr, options));
    await(*fetch);
    EXPECT_EQ(uuids(fetch->stations()),
              (QStringList{QStringLiteral("broken"), QStringLiteral("good"), QStringLiteral("unchecked")}));

    // A stored station is still found when its stream failed the last check.
    std::unique_ptr<StationRequest> lookup(Sonvela::station(QStringLiteral("broken"), nullptr, options));
    await(*lookup);
    ASSERT_TRUE(lookup->station().has_value());
    EXPECT_EQ(lookup->station()->stationuuid, QStringLiteral("broken"));
    EXPECT_EQ(lookup->stations().size(), 1);
}

TEST(StationDirectory, LookupOfAnUnknownIdIsNoneWithoutError) {
    FakeHost host({ok("[]")});
    std::unique_ptr<StationRequest> lookup(Sonvela::station(QStringLiteral("nope"), nullptr, hosts({host.base()})));
    await(*lookup);
    EXPECT_FALSE(lookup->error().has_value());
    EXPECT_FALSE(lookup->station().has_value());
}

TEST(StationDirectory, AHungHostTimesOut) {
    {
        FakeHost hung({hang()});
        FakeHost good({ok(kTwoStations)});
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<StationRequest> request(
            Sonvela::station(QStringLiteral("u-1"), nullptr, hosts({hung.base(), good.base()}, 300)));
        await(*request);
        EXPECT_FALSE(request->error().has_value());
        ASSERT_TRUE(request->station().has_value());
        EXPECT_EQ(request->station()->stationuuid, QStringLiteral("u-1"));
        EXPECT_EQ(hung.requestCount(), 1);
        EXPECT_LT(clock.elapsed(), 5000);
    }
    {
        FakeHost first({hang()});
        FakeHost second({hang()});
        std::unique_ptr<StationRequest> request(
            Sonvela::searchStations(QStringLiteral("x"), nullptr, hosts({first.base(), second.base()}, 300)));
        await(*request);
        ASSERT_TRUE(request->error().has_value());
        EXPECT_EQ(request->error()->kind, StationError::Kind::timedOut) << request->error()->detail.toStdString();
        EXPECT_EQ(second.requestCount(), 1);
    }
}

TEST(StationDirectory, BlankSearchSendsNothing) {
    FakeHost host({ok(kTwoStations)});
    std::unique_ptr<StationRequest> request(
        Sonvela::searchStations(QStringLiteral("  \n\t "), nullptr, hosts({host.base()})));
    EXPECT_TRUE(request->isFinished());
    await(*request);
    EXPECT_FALSE(request->error().has_value());
    EXPECT_TRUE(request->stations().isEmpty());
    QTest::qWait(50);
    EXPECT_EQ(host.requestCount(), 0);
}

TEST(StationDirectory, ACancelledRequestStaysSilent) {
    FakeHost first({hang()});
    FakeHost second({ok(kTwoStations)});
    std::unique_ptr<StationRequest> request(
        Sonvela::searchStations(QStringLiteral("x"), nullptr, hosts({first.base(), second.base()}, 300)));
    QSignalSpy finished(request.get(), &StationRequest::finished);
    ASSERT_TRUE(corvane::test::waitUntil([&] { return first.requestCount() == 1; }));
    request->cancel();
    EXPECT_TRUE(request->isCancelled());
    QTest::qWait(600);  // past the timeout that would have moved on to the second host
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(second.requestCount(), 0);

    // Dropping a request in flight is a cancel too.
    QPointer<StationRequest> dropped =
        Sonvela::searchStations(QStringLiteral("y"), nullptr, hosts({first.base(), second.base()}, 300));
    ASSERT_TRUE(corvane::test::waitUntil([&] { return first.requestCount() == 2; }));
    delete dropped.data();
    QTest::qWait(600);
    EXPECT_EQ(second.requestCount(), 0);
}

TEST(StationDecoding, AcceptsOnlyArraysOfWellTypedStations) {
    struct Case {
        const char* body;
        std::optional<qsizetype> count;  // none: undecodable
    };
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const std::string nestedField =
        R"([{"stationuuid":"a","name":"A","extra":)" + std::string(1000, '[') + std::string(1000, ']') + "}]";
    const Case cases[] = {
        {"[]", 0},
        {R"([{"stationuuid":"a","name":"A","extra":{"nested":[1,2]}}])", 1},
        {R"([{"stationuuid":"a","name":"A","country":null,"bitrate":null,"lastcheckok":null}])", 1},
        {R"([{"stationuuid":"a","name":"A","bitrate":128.0}])", 1},
        {R"([{"stationuuid":"a","name":"A","bitrate":128.5}])", std::nullopt},
        {R"([{"stationuuid":"a","name":"A","bitrate":1e300}])", std::nullopt},
        {R"([{"stationuuid":"a","name":"A","bitrate":18446744073709551615}])", std::nullopt},
        {R"([{"stationuuid":"a","name":"A","lastcheckok":true}])", std::nullopt},
        {R"([{"stationuuid":"a","name":"A","codec":7}])", std::nullopt},
        {R"([{"stationuuid":1,"name":"A"}])", std::nullopt},
        {R"([{"stationuuid":"a","name":null}])", std::nullopt},
        {R"([{"stationuuid":"a","name":"A"}, 3])", std::nullopt},
        {R"({"stationuuid":"a","name":"A"})", std::nullopt},
        {R"([{"stationuuid":"a","name":"A"})", std::nullopt},
        {"", std::nullopt},
        {"\xff\xfe[]", std::nullopt},
        {deep.c_str(), std::nullopt},
        // Valid JSON, but nested far deeper than any station list.
        {nestedField.c_str(), std::nullopt},
        {R"([{"stationuuid":"a","name":"A","extra":[[[[[[[[[[[[[[1]]]]]]]]]]]]]]}])", 1},
    };
    for (const Case& c : cases) {
        const auto stations = Sonvela::decodeStations(QByteArray(c.body));
        const std::string label = std::string(c.body).substr(0, 80);
        ASSERT_EQ(stations.has_value(), c.count.has_value()) << label;
        if (stations) {
            EXPECT_EQ(stations->size(), *c.count) << label;
        }
    }
    const auto stations = Sonvela::decodeStations(R"([{"stationuuid":"a","name":"A","bitrate":128.0}])");
    ASSERT_TRUE(stations && stations->size() == 1);
    EXPECT_EQ((*stations)[0].bitrate, 128);
}

TEST(StationDirectory, ATricklingHostIsCutOffByTheDeadline) {
    constexpr int kDeadlineMs = 800;
    const struct {
        const char* what;
        Answer second;
        qint64 atLeastMs;  // the first host gets half of the deadline, the second the rest
    } cases[] = {
        {"the second host answers", ok(kTwoStations), kDeadlineMs / 2 - 50},
        {"both trickle", trickle(50), kDeadlineMs - 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeHost first({trickle(50)});
        FakeHost second({c.second});
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<StationRequest> request(Sonvela::searchStations(
            QStringLiteral("x"), nullptr, hosts({first.base(), second.base()}, 5000, kDeadlineMs)));
        await(*request, 5000);
        EXPECT_EQ(first.requestCount(), 1);
        EXPECT_EQ(second.requestCount(), 1);
        EXPECT_GE(clock.elapsed(), c.atLeastMs);
        EXPECT_LT(clock.elapsed(), kDeadlineMs + 1000);
        if (c.second.trickleMs == 0) {
            EXPECT_FALSE(request->error().has_value());
            EXPECT_EQ(uuids(request->stations()), (QStringList{QStringLiteral("u-1"), QStringLiteral("u-2")}));
        } else {
            ASSERT_TRUE(request->error().has_value());
            EXPECT_EQ(request->error()->kind, StationError::Kind::timedOut) << request->error()->detail.toStdString();
        }
    }
}

TEST(StationDirectory, OversizedAndDeeplyNestedAnswersFailFastAndTheSecondHostAnswers) {
    QByteArray big = "[";
    while (big.size() < 3 * 1024 * 1024) {
        big += R"({"stationuuid":"s","name":"n"},)";
    }
    big += R"({"stationuuid":"s","name":"n"}])";
    const QByteArray brackets(1536 * 1024, '[');  // under the size cap
    struct Case {
        const char* what;
        Answer first;
    };
    const Case cases[] = {
        {"3 MB with its length", ok(big)},
        {"3 MB ended by closing", unsized(big)},
        {"1.5 MB of [", ok(brackets)},
        {"1.5 MB of [ ended by closing", unsized(brackets)},
    };
    for (const Case& c : cases) {
        FakeHost first({c.first});
        FakeHost second({ok(kTwoStations)});
        // The window's event loop must keep turning while the answer comes in.
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, sinceTick.restart());
        });
        sinceTick.start();
        ticker.start(5);
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<StationRequest> request(
            Sonvela::searchStations(QStringLiteral("x"), nullptr, hosts({first.base(), second.base()})));
        await(*request, 5000);
        ticker.stop();
        EXPECT_FALSE(request->error().has_value()) << c.what;
        EXPECT_EQ(request->stations().size(), 2) << c.what;
        EXPECT_EQ(second.requestCount(), 1) << c.what;
        EXPECT_LT(clock.elapsed(), 3000) << c.what;
        // Generous: machines under load and sanitizer builds stall on their own.
        EXPECT_LT(longestGap, 400) << c.what;
        std::printf("%s: %lld ms, longest event-loop gap %lld ms\n", c.what, qint64(clock.elapsed()), longestGap);
    }
}

TEST(StationDirectory, ASearchKeepsNoMoreStationsThanItAskedFor) {
    QByteArray body = "[";
    for (int i = 0; i < 100; ++i) {
        body += (i ? "," : "") + QByteArray(R"({"stationuuid":"s)") + QByteArray::number(i) + R"(","name":"n"})";
    }
    body += "]";
    FakeHost host({ok(body)});
    std::unique_ptr<StationRequest> request(Sonvela::searchStations(QStringLiteral("x"), nullptr, hosts({host.base()})));
    await(*request);
    ASSERT_EQ(request->stations().size(), 40);
    EXPECT_EQ(request->stations().first().stationuuid, QStringLiteral("s0"));
    EXPECT_EQ(request->stations().last().stationuuid, QStringLiteral("s39"));
}
