#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/Uuid.h"

using namespace corvane;

TEST(SystemClock, BootSecondsNeverRunBackwards) {
    auto& clock = SystemClock::instance();
    const double a = clock.bootSeconds();
    const double b = clock.bootSeconds();
    EXPECT_GT(a, 0.0);
    EXPECT_GE(b, a);
}

TEST(FakeClock, SleepMovesBothClocksAndSetWallOnlyTheWallClock) {
    FakeClock clock(1'000'000, 50.0);
    clock.sleep(3600);
    EXPECT_EQ(clock.wallMSecs(), 1'000'000 + 3'600'000);
    EXPECT_DOUBLE_EQ(clock.bootSeconds(), 3650.0);
    clock.setWall(0);
    EXPECT_EQ(clock.wallMSecs(), 0);
    EXPECT_DOUBLE_EQ(clock.bootSeconds(), 3650.0);
}

TEST(Uuid, UpperCaseAndDistinct) {
    const QString a = newUuidText();
    EXPECT_EQ(a.size(), 36);
    EXPECT_EQ(a, a.toUpper());
    EXPECT_NE(a, newUuidText());
}

TEST(AppPaths, UnderPutsBothFoldersBelowTheRoot) {
    const auto p = AppPaths::under(QStringLiteral("/tmp/x"));
    EXPECT_EQ(p.dataFolder, QStringLiteral("/tmp/x/Corvane"));
    EXPECT_EQ(p.sharedFolder, QStringLiteral("/tmp/x/Q7RM2ZX5KD.de.velmor.corvane"));
}
