#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>

namespace corvane::test {

// Runs the event loop until `condition` holds or `timeoutMs` passed. Use with
// ASSERT_TRUE/EXPECT_TRUE: Qt's own QTRY_ macros report into QTest, not into
// GoogleTest, and would let a failing test pass silently.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

}  // namespace corvane::test
