#pragma once

#include "platform/Clock.h"

#include <functional>

namespace corvane {

enum class StopwatchState { idle, running, paused, stopped };

// A stopwatch on the boot-time clock (see CountdownService for why).
class StopwatchService {
public:
    explicit StopwatchService(const Clock& clock = SystemClock::instance()) : clock_(clock) {}

    double elapsed() const;

    // From idle or stopped only: runs from zero.
    void start();
    void pause();
    void resume();
    // From running or paused: keeps the time measured so far.
    void stop();
    // Back to idle with zero time, from any state.
    void reset();

    double accumulated() const { return accumulated_; }
    double runningSince() const { return runningSince_; }
    StopwatchState state() const { return state_; }

    std::function<void()> onStateChanged;

private:
    void setState(StopwatchState state);

    const Clock& clock_;
    double accumulated_ = 0;
    double runningSince_ = 0;
    StopwatchState state_ = StopwatchState::idle;
};

}  // namespace corvane
