#include "platform/Clock.h"

#include <time.h>

namespace corvane {

qint64 SystemClock::wallMSecs() const {
    return QDateTime::currentMSecsSinceEpoch();
}

double SystemClock::bootSeconds() const {
    timespec ts{};
    // CLOCK_MONOTONIC stops while the machine is suspended; a countdown whose
    // end passed during sleep must still complete on waking.
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

SystemClock& SystemClock::instance() {
    static SystemClock clock;
    return clock;
}

}  // namespace corvane
