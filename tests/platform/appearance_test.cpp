#include "platform/Appearance.h"

#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QDBusVariant>
#include <QSignalSpy>

using namespace corvane;

namespace {

QVariant wrapped(const QVariant& value, int levels) {
    QVariant result = value;
    for (int i = 0; i < levels; ++i) result = QVariant::fromValue(QDBusVariant(result));
    return result;
}

}  // namespace

TEST(PortalAppearanceTest, OnlyTheNumberOneMeansDark) {
    struct Case {
        QVariant value;
        bool light;
    };
    const Case cases[] = {
        {QVariant(0u), true},
        {QVariant(1u), false},
        {QVariant(2u), true},  // prefers light
        {QVariant(1), false},
        {QVariant(qulonglong(1)), false},
        {QVariant(QStringLiteral("1")), true},
        {QVariant(true), true},
        {QVariant(1.0), true},
        {QVariant(), true},
    };
    for (const Case& c : cases) {
        for (int levels : {0, 1, 2}) {
            EXPECT_EQ(PortalAppearance::isLightColorScheme(wrapped(c.value, levels)), c.light)
                << c.value.toString().toStdString() << " in " << levels << " variants";
        }
    }
    // Nesting without end gives up instead of recursing.
    EXPECT_TRUE(PortalAppearance::isLightColorScheme(wrapped(QVariant(1u), 50)));
}

TEST(PortalAppearanceTest, WithoutABusTheLookIsLightAndChangesStillApply) {
    // A connection that was never opened: no session bus in the test run.
    PortalAppearance appearance(QDBusConnection(QStringLiteral("corvane-no-such-bus")));
    EXPECT_TRUE(appearance.isLight());

    QSignalSpy spy(&appearance, &SystemAppearance::appearanceChanged);
    // The signal as the portal sends it: namespace, key, and the value in a variant.
    const auto change = [&](const char* ns, const char* key, const QVariant& value) {
        QDBusMessage message = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                          QStringLiteral("org.freedesktop.portal.Settings"),
                                                          QStringLiteral("SettingChanged"));
        message << QString::fromLatin1(ns) << QString::fromLatin1(key)
                << QVariant::fromValue(QDBusVariant(value));
        appearance.onSettingChanged(message);
    };
    const char* ns = "org.freedesktop.appearance";
    change("org.gnome.desktop.interface", "color-scheme", 1u);
    change(ns, "accent-color", 1u);
    appearance.onSettingChanged(QDBusMessage::createSignal(QStringLiteral("/"), QStringLiteral("a.b"),
                                                           QStringLiteral("SettingChanged")));
    EXPECT_TRUE(appearance.isLight());
    EXPECT_EQ(spy.count(), 0);

    change(ns, "color-scheme", 1u);
    change(ns, "color-scheme", 1u);
    EXPECT_FALSE(appearance.isLight());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toBool(), false);

    change(ns, "color-scheme", 0u);
    EXPECT_TRUE(appearance.isLight());
    EXPECT_EQ(spy.count(), 2);
}

TEST(FakeSystemAppearanceTest, SignalsOnlyRealChanges) {
    FakeSystemAppearance fake(false);
    QSignalSpy spy(&fake, &SystemAppearance::appearanceChanged);
    fake.setLight(false);
    fake.setLight(true);
    fake.setLight(true);
    EXPECT_TRUE(fake.isLight());
    EXPECT_EQ(spy.count(), 1);
}
