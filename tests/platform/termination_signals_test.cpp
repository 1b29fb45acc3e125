#include <gtest/gtest.h>

#include <QSignalSpy>
#include <csignal>

#include "platform/TerminationSignals.h"

using namespace corvane;

TEST(TerminationSignals, SigtermArrivesAsAQtSignalAndHandlersAreRestored) {
    {
        TerminationSignals signals;
        ASSERT_TRUE(signals.isInstalled());
        // A second instance would steal the pipe; it must refuse instead.
        TerminationSignals second;
        EXPECT_FALSE(second.isInstalled());

        QSignalSpy spy(&signals, &TerminationSignals::terminationRequested);
        std::raise(SIGTERM);
        std::raise(SIGINT);
        ASSERT_TRUE(spy.wait(2000) || spy.count() > 0);
        if (spy.count() < 2) spy.wait(500);
        ASSERT_EQ(spy.count(), 2);
        EXPECT_EQ(spy.at(0).at(0).toInt(), SIGTERM);
        EXPECT_EQ(spy.at(1).at(0).toInt(), SIGINT);
    }
    struct sigaction now {};
    sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}
