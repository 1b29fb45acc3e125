#pragma once

// A station directory on loopback for the picker and the name lookup: it
// counts and records every request and answers each with the current answer,
// at once or only when the test releases it.

#include <QHash>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

#include "services/Sonvela.h"

namespace corvane::testing {

class DirectoryServer : public QObject {
public:
    int status = 200;
    QByteArray body = "[]";
    bool holdAnswers = false;  // keep requests open until release()

    DirectoryServer() {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onData(socket); });
        });
    }

    Sonvela::DirectoryOptions options() const {
        Sonvela::DirectoryOptions o;
        o.hosts = {QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()))};
        o.transferTimeoutMs = 5000;
        return o;
    }

    int requestCount() const { return int(targets_.size()); }
    // The decoded `name` (or `uuids`) item of request i.
    QString queryItem(int i, const QString& item) const {
        const QUrl url(QString::fromLatin1(targets_.value(i)));
        return QUrlQuery(url).queryItemValue(item, QUrl::FullyDecoded);
    }
    QString path(int i) const { return QUrl(QString::fromLatin1(targets_.value(i))).path(); }

    // Answers every held request with the current status and body.
    void release() {
        const auto held = held_;
        held_.clear();
        for (const QPointer<QTcpSocket>& socket : held)
            if (socket) answer(socket);
    }

private:
    void onData(QTcpSocket* socket) {
        QByteArray& buffer = buffers_[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) return;
        targets_.append(buffer.left(end).split('\n').value(0).split(' ').value(1));
        buffer.clear();
        if (holdAnswers) {
            held_.append(socket);
            return;
        }
        answer(socket);
    }

    void answer(QTcpSocket* socket) {
        QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + " X\r\n";
        response += "Content-Type: application/json\r\nConnection: close\r\n";
        response += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
        response += body;
        socket->write(response);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QList<QByteArray> targets_;
    QHash<QTcpSocket*, QByteArray> buffers_;
    QList<QPointer<QTcpSocket>> held_;
};

inline const QByteArray kStations = R"([
  {"stationuuid":"u-1","name":"  Radio Eins \n","country":"Germany","countrycode":"DE","codec":"MP3","bitrate":128,"lastcheckok":1},
  {"stationuuid":"u-2","name":"Zwei","country":null,"countrycode":null,"codec":null,"bitrate":null},
  {"stationuuid":"u-3","name":"Kaputt","lastcheckok":0}
])";

}  // namespace corvane::testing
