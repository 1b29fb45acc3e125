#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <memory>

#include "TestWait.h"
#include "appmodel/Timers.h"

using namespace corvane;

namespace {

// Runs the event loop for `ms` milliseconds.
void runFor(int ms) {
    QElapsedTimer t;
    t.start();
    test::waitUntil([&] { return t.elapsed() >= ms; }, ms + 1000);
}

}  // namespace

// The tick books its next run from inside its own job, mostly at the same
// interval; the timer may keep running underneath, but must still behave as
// one run per booking.
TEST(QtTimers, AJobThatBooksItselfAgainRunsOncePerBooking) {
    QtTimerFactory factory;
    int runs = 0;
    int bookings = 3;
    bool activeInJob = true;
    std::unique_ptr<OneShotTimer> timer;
    timer = factory.make(
        [&] {
            ++runs;
            activeInJob = activeInJob && timer->isActive();
            if (bookings-- > 0) timer->start(15);
        },
        true);
    timer->start(15);
    ASSERT_TRUE(test::waitUntil([&] { return runs == 4; }, 3000));
    EXPECT_FALSE(activeInJob) << "inside its job the run is spent until booked again";
    EXPECT_FALSE(timer->isActive());
    runFor(120);
    EXPECT_EQ(runs, 4) << "no run without a booking";
}

TEST(QtTimers, BookingsChangeIntervalAndStopCancels) {
    QtTimerFactory factory;
    int runs = 0;
    std::unique_ptr<OneShotTimer> timer;
    timer = factory.make(
        [&] {
            ++runs;
            // The next run at another interval: the same timer must not
            // fire again at the old one.
            if (runs == 1) timer->start(400);
        },
        true);
    timer->start(10);
    ASSERT_TRUE(test::waitUntil([&] { return runs == 1; }, 3000));
    runFor(100);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(timer->isActive());
    timer->stop();
    EXPECT_FALSE(timer->isActive());
    runFor(500);
    EXPECT_EQ(runs, 1);

    // A booking from outside replaces the pending one.
    timer->start(300);
    timer->start(10);
    ASSERT_TRUE(test::waitUntil([&] { return runs == 2; }, 3000));
    runFor(400);
    EXPECT_EQ(runs, 2);
}

TEST(QtTimers, AJobMayEndItsOwnTimer) {
    QtTimerFactory factory;
    bool ran = false;
    std::unique_ptr<OneShotTimer> timer;
    timer = factory.make(
        [&] {
            ran = true;
            timer->start(10);
            timer.reset();
        },
        true);
    timer->start(5);
    ASSERT_TRUE(test::waitUntil([&] { return ran; }, 3000));
    runFor(50);
}
