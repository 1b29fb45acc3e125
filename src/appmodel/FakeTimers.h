#pragma once

// Timers that run on a FakeClock: advance() moves the clock forward and runs
// every job that falls due on the way, each at its own moment, in order.

#include <cmath>
#include <limits>
#include <vector>

#include "appmodel/Timers.h"
#include "platform/Clock.h"

namespace corvane {

class FakeTimerFactory final : public TimerFactory {
public:
    explicit FakeTimerFactory(FakeClock& clock) : m_clock(clock) {}
    ~FakeTimerFactory() override {
        for (Timer* t : m_timers) t->m_factory = nullptr;
    }

    std::unique_ptr<OneShotTimer> make(std::function<void()> job, bool) override {
        auto timer = std::make_unique<Timer>(this, std::move(job));
        m_timers.push_back(timer.get());
        return timer;
    }

    // Milliseconds on the boot clock, the clock the timers measure with.
    qint64 nowMs() const { return qint64(std::llround(m_clock.bootSeconds() * 1000.0)); }

    // Moves the clock `seconds` ahead, running due jobs at their moments.
    void advance(double seconds) {
        const qint64 end = nowMs() + qint64(std::llround(seconds * 1000.0));
        for (;;) {
            Timer* next = nullptr;
            for (Timer* t : m_timers) {
                if (t->m_active && t->m_due <= end && (!next || t->m_due < next->m_due)) next = t;
            }
            if (!next) break;
            const qint64 step = next->m_due - nowMs();
            if (step > 0) m_clock.advance(double(step) / 1000.0);
            next->m_active = false;
            ++m_fired;
            if (next->m_job) next->m_job();
        }
        const qint64 rest = end - nowMs();
        if (rest > 0) m_clock.advance(double(rest) / 1000.0);
    }

    // How many timers are pending, and when the next one is due (seconds from now).
    int pendingCount() const {
        int n = 0;
        for (const Timer* t : m_timers) n += t->m_active ? 1 : 0;
        return n;
    }
    int firedCount() const { return m_fired; }

private:
    class Timer final : public OneShotTimer {
    public:
        Timer(FakeTimerFactory* factory, std::function<void()> job)
            : m_factory(factory), m_job(std::move(job)) {}
        ~Timer() override {
            if (!m_factory) return;
            auto& list = m_factory->m_timers;
            for (auto it = list.begin(); it != list.end(); ++it) {
                if (*it == this) {
                    list.erase(it);
                    break;
                }
            }
        }
        void start(qint64 msecs) override {
            m_active = true;
            m_due = (m_factory ? m_factory->nowMs() : 0) + std::max<qint64>(0, msecs);
        }
        void stop() override { m_active = false; }
        bool isActive() const override { return m_active; }

        FakeTimerFactory* m_factory;
        std::function<void()> m_job;
        bool m_active = false;
        qint64 m_due = 0;
    };

    FakeClock& m_clock;
    std::vector<Timer*> m_timers;
    int m_fired = 0;
};

}  // namespace corvane
