#include "platform/WidgetReload.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace corvane {

void DBusWidgetReloader::reloadTimelines(const QString& kind) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kWidgetReloadPath),
                                                     QString::fromLatin1(kWidgetReloadInterface),
                                                     QString::fromLatin1(kWidgetReloadSignal));
    signal << kind;
    bus.send(signal);
}

}  // namespace corvane
