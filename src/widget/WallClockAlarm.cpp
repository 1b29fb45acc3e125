#include "widget/WallClockAlarm.h"

#include <QDateTime>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>

namespace corvane {

SystemWallClockAlarm::SystemWallClockAlarm(QObject* parent) : WallClockAlarm(parent) {
    fd_ = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ >= 0) {
        notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &SystemWallClockAlarm::onReadable);
    } else {
        fallback_ = new QTimer(this);
        fallback_->setSingleShot(true);
        fallback_->setTimerType(Qt::PreciseTimer);
        connect(fallback_, &QTimer::timeout, this, &WallClockAlarm::rang);
    }
}

SystemWallClockAlarm::~SystemWallClockAlarm() {
    if (fd_ >= 0) ::close(fd_);
}

void SystemWallClockAlarm::arm(qint64 wallMSecs) {
    if (fd_ < 0) {
        const qint64 delay = wallMSecs - QDateTime::currentMSecsSinceEpoch();
        fallback_->start(int(std::clamp<qint64>(delay, 0, 24 * 3'600'000)));
        return;
    }
    itimerspec when{};
    const qint64 at = std::max<qint64>(wallMSecs, 1);
    when.it_value.tv_sec = time_t(at / 1000);
    when.it_value.tv_nsec = long(at % 1000) * 1'000'000;
    // Cancel-on-set: a clock step ends the wait with ECANCELED, and the
    // widget re-reads the time instead of waiting for a moment that moved.
    if (timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr) != 0) {
        // Should the kernel refuse, ring at once rather than never.
        QTimer::singleShot(0, this, &WallClockAlarm::rang);
    }
}

void SystemWallClockAlarm::onReadable() {
    std::uint64_t expirations = 0;
    const ssize_t got = ::read(fd_, &expirations, sizeof expirations);
    if (got < 0 && errno == EAGAIN) return;
    // Either the moment came or (ECANCELED) the clock was set; both mean the
    // same to the caller. The timer is disarmed now until the next arm().
    Q_EMIT rang();
}

}  // namespace corvane
