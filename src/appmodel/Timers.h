#pragma once

// The model's three delayed jobs (the next tick, the debounced save, the
// widget refresh) run on one-shot timers made by a factory, so tests can run
// them on a fake clock instead of waiting.

#include <QtGlobal>
#include <functional>
#include <memory>

namespace corvane {

class OneShotTimer {
public:
    virtual ~OneShotTimer() = default;
    // Runs the timer's job once after `msecs`, replacing a pending run.
    virtual void start(qint64 msecs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    // `precise`: the job must not run early or late by more than a
    // millisecond or so (the tick, aligned to the full second).
    virtual std::unique_ptr<OneShotTimer> make(std::function<void()> job, bool precise) = 0;
};

// QTimer on the calling thread's event loop.
class QtTimerFactory final : public TimerFactory {
public:
    std::unique_ptr<OneShotTimer> make(std::function<void()> job, bool precise) override;
};

}  // namespace corvane
