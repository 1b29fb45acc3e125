#include "platform/Appearance.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QMetaType>

namespace corvane {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kNamespace = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");

QDBusMessage question(const QString& method) {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    message << kNamespace << kKey;
    return message;
}

}  // namespace

PortalAppearance::PortalAppearance(QObject* parent)
    : PortalAppearance(QDBusConnection::sessionBus(), parent) {}

PortalAppearance::PortalAppearance(const QDBusConnection& bus, QObject* parent)
    : SystemAppearance(parent), m_bus(bus) {
    if (!m_bus.isConnected()) return;
    // Delivered as the whole message: QtDBus cannot bind a slot that takes
    // a QDBusVariant to a signal, and the value needs unwrapping anyway.
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
                  SLOT(onSettingChanged(QDBusMessage)));

    // Blocking without an event loop, so nothing else runs meanwhile; the
    // window's first paint needs the answer.
    QString method = QStringLiteral("ReadOne");
    QDBusMessage reply = m_bus.call(question(method), QDBus::Block, kInitialTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage && QDBusError(reply).type() == QDBusError::UnknownMethod) {
        // Portals before version 2 only offer Read, which wraps the value in
        // one more variant.
        method = QStringLiteral("Read");
        reply = m_bus.call(question(method), QDBus::Block, kInitialTimeoutMs);
    }
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        m_light = isLightColorScheme(reply.arguments().constFirst());
        return;
    }
    const QDBusError::ErrorType error = QDBusError(reply).type();
    if (error != QDBusError::NoReply && error != QDBusError::Timeout) return;

    // The portal is slow to start: take its answer whenever it comes, unless
    // a change signal has told us the current value first.
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(question(method)), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusMessage late = call->reply();
        if (!m_changeSeen && late.type() == QDBusMessage::ReplyMessage && !late.arguments().isEmpty()) {
            setLight(isLightColorScheme(late.arguments().constFirst()));
        }
        call->deleteLater();
    });
}

bool PortalAppearance::isLightColorScheme(const QVariant& value) {
    QVariant inner = value;
    // Read wraps twice, ReadOne and the change signal once; a hostile peer
    // could nest without end, so stop after a few levels.
    for (int depth = 0; depth < 8 && inner.metaType() == QMetaType::fromType<QDBusVariant>(); ++depth) {
        inner = inner.value<QDBusVariant>().variant();
    }
    switch (inner.metaType().id()) {
        case QMetaType::UInt:
        case QMetaType::Int:
        case QMetaType::UShort:
        case QMetaType::Short:
        case QMetaType::UChar:
        case QMetaType::ULongLong:
        case QMetaType::LongLong:
            return inner.toLongLong() != 1;
        default:
            return true;
    }
}

void PortalAppearance::onSettingChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 3) return;
    applySettingChange(arguments.at(0).toString(), arguments.at(1).toString(), arguments.at(2));
}

void PortalAppearance::applySettingChange(const QString& settingsNamespace, const QString& key,
                                          const QVariant& value) {
    if (settingsNamespace != kNamespace || key != kKey) return;
    m_changeSeen = true;
    setLight(isLightColorScheme(value));
}

void PortalAppearance::setLight(bool light) {
    if (light == m_light) return;
    m_light = light;
    Q_EMIT appearanceChanged(light);
}

}  // namespace corvane
