#include <gtest/gtest.h>

#include "platform/system/PulseAudio.h"

#include <pulse/volume.h>

#include <QElapsedTimer>

using namespace corvane;

TEST(OutputSilence, MutedOrBelowOnePercentOfNormal) {
    EXPECT_TRUE(outputIsSilent(true, PA_VOLUME_NORM));
    EXPECT_TRUE(outputIsSilent(false, 0));
    EXPECT_TRUE(outputIsSilent(false, PA_VOLUME_NORM / 200));  // 0.5 %
    EXPECT_FALSE(outputIsSilent(false, PA_VOLUME_NORM / 100 + 1));
    EXPECT_FALSE(outputIsSilent(false, PA_VOLUME_NORM));
    EXPECT_FALSE(outputIsSilent(false, PA_VOLUME_NORM * 3 / 2));  // amplified
}

// Whatever server the machine has (none in CI), making and asking the
// connection returns at once and an absent server reads as "not silent".
TEST(PulseAudio, AnswersWithoutWaiting) {
    QElapsedTimer timer;
    timer.start();
    {
        PulseAudio pulse;
        for (int i = 0; i < 1000; ++i) {
            const bool silent = pulse.isOutputSilent();
            const auto inputs = pulse.sinkInputs();
            if (!pulse.isConnected()) {
                EXPECT_FALSE(silent);
                EXPECT_FALSE(inputs.has_value());
            }
        }
    }
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST(PulseAudio, AnAbsentServerIsAskedLessAndLessOften) {
    const struct {
        int failures;
        int seconds;
    } cases[] = {{0, 5}, {1, 10}, {2, 20}, {3, 40}, {4, 60}, {5, 60}, {1000, 60}};
    for (const auto& c : cases) EXPECT_EQ(pulseRetrySeconds(c.failures), c.seconds) << c.failures;
}
