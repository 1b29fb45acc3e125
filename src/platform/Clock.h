#pragma once

#include <QDateTime>
#include <QTimeZone>
#include <QtGlobal>

namespace corvane {

// The two times the program runs on: the wall clock (what alarms and dials
// show) and a monotonic clock that keeps counting while the computer sleeps
// (what countdowns and stopwatches measure). Everything takes a Clock so tests
// can move time by hand.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since 1970-01-01 UTC.
    virtual qint64 wallMSecs() const = 0;
    // Seconds on CLOCK_BOOTTIME: monotonic, and it includes suspend.
    virtual double bootSeconds() const = 0;

    QDateTime now() const { return QDateTime::fromMSecsSinceEpoch(wallMSecs(), Qt::UTC); }
};

class SystemClock final : public Clock {
public:
    qint64 wallMSecs() const override;
    double bootSeconds() const override;
    static SystemClock& instance();
};

// A clock that only moves when told to. `sleep` advances both clocks, as a
// suspended computer does; `setWall` alone models the user changing the time.
class FakeClock final : public Clock {
public:
    explicit FakeClock(qint64 wallMSecs = 0, double bootSeconds = 1000.0)
        : wall_(wallMSecs), boot_(bootSeconds) {}
    qint64 wallMSecs() const override { return wall_; }
    double bootSeconds() const override { return boot_; }

    void advance(double seconds) {
        wall_ += qRound64(seconds * 1000.0);
        boot_ += seconds;
    }
    void sleep(double seconds) { advance(seconds); }
    void setWall(qint64 wallMSecs) { wall_ = wallMSecs; }
    void setWall(const QDateTime& t) { wall_ = t.toMSecsSinceEpoch(); }

private:
    qint64 wall_;
    double boot_;
};

}  // namespace corvane
