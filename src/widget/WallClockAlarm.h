#pragma once

// Wakes the widget at a moment of the wall clock. A plain QTimer counts on a
// clock that stops while the computer sleeps and knows nothing of the user
// setting the time, so a minute hand driven by it lags after a resume; this
// one fires at the wall-clock moment itself, at once after a resume that
// slept past it, and also whenever the system clock is set.

#include <QObject>
#include <QtGlobal>

class QSocketNotifier;
class QTimer;

namespace corvane {

class WallClockAlarm : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Replaces any earlier moment.
    virtual void arm(qint64 wallMSecs) = 0;

Q_SIGNALS:
    // The moment came, or the wall clock was set: look at the time again.
    void rang();
};

class SystemWallClockAlarm final : public WallClockAlarm {
    Q_OBJECT
public:
    explicit SystemWallClockAlarm(QObject* parent = nullptr);
    ~SystemWallClockAlarm() override;

    void arm(qint64 wallMSecs) override;

private:
    void onReadable();

    int fd_ = -1;  // a realtime timerfd; -1 when the system gave none
    QSocketNotifier* notifier_ = nullptr;
    QTimer* fallback_ = nullptr;  // only without a timerfd
};

// Rings only when told to; remembers what it was armed for.
class FakeWallClockAlarm final : public WallClockAlarm {
    Q_OBJECT
public:
    using WallClockAlarm::WallClockAlarm;
    void arm(qint64 wallMSecs) override {
        armedFor_ = wallMSecs;
        ++armCount_;
    }
    void ring() { Q_EMIT rang(); }
    qint64 armedFor() const { return armedFor_; }
    int armCount() const { return armCount_; }

private:
    qint64 armedFor_ = -1;
    int armCount_ = 0;
};

}  // namespace corvane
