#pragma once

// Whether the desktop is set to a light or a dark look, and when that changes.
// The theme "system" follows it.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QObject>
#include <QString>
#include <QVariant>

namespace corvane {

class SystemAppearance : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool isLight() const = 0;

Q_SIGNALS:
    // Emitted only when the answer of isLight() actually changes.
    void appearanceChanged(bool isLight);
};

// Asks the desktop portal's "color-scheme" setting (1 = prefers dark) and
// follows its change signal. Without a bus, a portal or an answer in time the
// look is light, as it is on a desktop that has no preference.
class PortalAppearance : public SystemAppearance {
    Q_OBJECT
public:
    // The initial question waits at most this long; a slower answer still
    // arrives later as a change.
    static constexpr int kInitialTimeoutMs = 500;

    explicit PortalAppearance(QObject* parent = nullptr);
    explicit PortalAppearance(const QDBusConnection& bus, QObject* parent = nullptr);

    bool isLight() const override { return m_light; }

    // The portal's colour-scheme value, however deeply wrapped in variants:
    // only the number 1 means dark.
    static bool isLightColorScheme(const QVariant& value);

    // One change of a portal setting; anything but the colour scheme is
    // ignored.
    void applySettingChange(const QString& settingsNamespace, const QString& key, const QVariant& value);

public Q_SLOTS:
    // The portal's SettingChanged signal (namespace, key, value).
    void onSettingChanged(const QDBusMessage& message);

private:
    void setLight(bool light);

    QDBusConnection m_bus;
    bool m_light = true;
    bool m_changeSeen = false;
};

// For tests and for builds without a desktop: the look is whatever was set.
class FakeSystemAppearance : public SystemAppearance {
    Q_OBJECT
public:
    explicit FakeSystemAppearance(bool light = true, QObject* parent = nullptr)
        : SystemAppearance(parent), m_light(light) {}
    bool isLight() const override { return m_light; }
    void setLight(bool light) {
        if (light == m_light) return;
        m_light = light;
        Q_EMIT appearanceChanged(light);
    }

private:
    bool m_light;
};

}  // namespace corvane
