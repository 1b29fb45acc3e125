#include <gtest/gtest.h>

#include <QLocalServer>
#include <QSignalSpy>
#include <QUuid>

#include "platform/system/SingleInstance.h"

using namespace corvane;

namespace {
QString uniqueName() { return QStringLiteral("corvane-test-") + QUuid::createUuid().toString(QUuid::Id128); }
}  // namespace

TEST(SingleInstance, SecondClaimFailsAndActivatesTheFirst) {
    const QString name = uniqueName();
    SingleInstance first(name);
    ASSERT_TRUE(first.claim());
    QSignalSpy activated(&first, &SingleInstance::activationRequested);

    SingleInstance second(name);
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(activated.wait(2000));
}

TEST(SingleInstance, StaleSocketFromACrashedInstanceIsTakenOver) {
    const QString name = uniqueName();
    {
        // A server that vanishes without cleaning up its socket file.
        QLocalServer stale;
        ASSERT_TRUE(stale.listen(name));
        stale.close();
    }
    SingleInstance instance(name);
    EXPECT_TRUE(instance.claim(200));
}
