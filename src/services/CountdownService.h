#pragma once

#include "platform/Clock.h"

#include <functional>

namespace corvane {

enum class CountdownState { idle, running, paused };

// A countdown measured on the boot-time clock, so neither a change of the wall
// clock nor of the zone disturbs it, and time spent asleep counts: a countdown
// whose end passed during suspend completes at the first tick after waking.
class CountdownService {
public:
    explicit CountdownService(const Clock& clock = SystemClock::instance()) : clock_(clock) {}

    // The full duration while idle; otherwise what is left, never below 0.
    double remaining() const;
    double elapsed() const;

    // False and no change unless the duration is greater than 0. Starting a
    // running countdown restarts it from zero.
    bool start(double duration);
    void pause();
    void resume();
    // Called on every tick: ends a running countdown that has run its course.
    void checkCompletion();

    double accumulated() const { return accumulated_; }
    double runningSince() const { return runningSince_; }
    CountdownState state() const { return state_; }
    double duration() const { return duration_; }

    // Cancelling and the reset at quit belong to the model; it sets the
    // fields through these.
    void setAccumulated(double seconds) { accumulated_ = seconds; }
    void setDuration(double seconds) { duration_ = seconds; }
    void setState(CountdownState state);

    std::function<void()> onCompleted;
    std::function<void()> onStateChanged;

private:
    const Clock& clock_;
    double accumulated_ = 0;
    double runningSince_ = 0;
    CountdownState state_ = CountdownState::idle;
    double duration_ = 0;
};

}  // namespace corvane
