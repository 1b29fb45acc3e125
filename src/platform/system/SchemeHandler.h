#pragma once

#include <QByteArray>
#include <QObject>
#include <QUrl>

class QTimer;

namespace corvane {

// Who opens URLs of one scheme, and opening them. Views ask `hasHandler` on
// every repaint, so it must answer from memory; `open` reports whether the
// system really started a handler.
class UrlSchemeHandler {
public:
    virtual ~UrlSchemeHandler() = default;
    virtual bool hasHandler() const = 0;
    virtual bool open(const QUrl& url) = 0;
};

// The desktop's answer through GIO's application database. The answer is
// cached and refreshed when the database changes (GAppInfoMonitor), so a
// handler installed or removed while we run is noticed without a restart.
// Lives on the main thread.
class GioSchemeHandler final : public QObject, public UrlSchemeHandler {
    Q_OBJECT
public:
    explicit GioSchemeHandler(QByteArray scheme, QObject* parent = nullptr);
    ~GioSchemeHandler() override;

    bool hasHandler() const override { return installed_; }
    // Launches the default handler for the URL. Only a successful launch is
    // true: the generic desktop openers claim success even when nothing
    // handles the scheme, which would make an alarm wait for a radio that
    // never starts.
    bool open(const QUrl& url) override;

    // Looks the handler up again now. Normally the monitor does this.
    void refresh();

Q_SIGNALS:
    void handlerChanged(bool installed);

private:
    static void onMonitorChanged(void* monitor, void* self);

    QByteArray scheme_;
    bool installed_ = false;
    void* monitor_ = nullptr;  // GAppInfoMonitor*, kept opaque to spare callers the GLib headers
    unsigned long handlerId_ = 0;
    QTimer* poll_ = nullptr;
};

}  // namespace corvane
