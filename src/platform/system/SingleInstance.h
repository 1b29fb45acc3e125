#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace corvane {

// One Corvane per user: the first start listens on a local socket, a second
// start finds it, asks it to come to the front and then exits.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `name` is the socket name; the default is per user.
    explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the one instance. False when another one
    // runs; it has then been asked to show itself.
    bool claim(int timeoutMs = 500);

    static QString defaultName();

Q_SIGNALS:
    // Another start asked this instance to come to the front.
    void activationRequested();

private:
    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace corvane
