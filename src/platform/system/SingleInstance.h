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
    // `socketPath` is the full path of the socket; the default is per user and
    // per session. An empty path means no safe place was found: claim() then
    // runs this process on its own without listening.
    explicit SingleInstance(QString socketPath = defaultPath(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the one instance. False when another one
    // runs; it has then been asked to show itself.
    bool claim(int timeoutMs = 500);

    // "$XDG_RUNTIME_DIR/corvane/instance"; without that variable, a folder of
    // our own in the temporary directory. Never a name in a folder other
    // users can write to, where a stranger could take it first.
    static QString defaultPath();

    // Makes sure `path` is a real folder (no link) owned by this user and
    // closed to everybody else, creating it if missing. False when it is not
    // and can't be made so.
    static bool ensurePrivateFolder(const QString& path);

Q_SIGNALS:
    // Another start asked this instance to come to the front.
    void activationRequested();

private:
    QString path_;
    QLocalServer* server_ = nullptr;
};

}  // namespace corvane
