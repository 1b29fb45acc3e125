#include "appmodel/Timers.h"

#include <QTimer>
#include <memory>

namespace corvane {

namespace {

class QtOneShotTimer final : public OneShotTimer {
public:
    QtOneShotTimer(std::function<void()> job, bool precise) : m_job(std::move(job)) {
        m_timer.setTimerType(precise ? Qt::PreciseTimer : Qt::CoarseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { fire(); });
    }
    void start(qint64 msecs) override {
        const int interval = int(qBound<qint64>(0, msecs, 24LL * 3600 * 1000));
        m_pending = true;
        // A job that books its next run at the same interval (the fast
        // tick, 25 times a second) keeps the running timer: handing the
        // event loop a new timer on every run costs more than the run.
        if (m_inJob && m_timer.isActive() && m_timer.interval() == interval) return;
        m_timer.start(interval);
    }
    void stop() override {
        m_pending = false;
        m_timer.stop();
    }
    bool isActive() const override { return m_pending; }

private:
    void fire() {
        if (!m_pending) {
            m_timer.stop();
            return;
        }
        m_pending = false;
        m_inJob = true;
        // The job may end its owner, and this timer with it.
        const std::weak_ptr<char> alive = m_alive;
        if (m_job) m_job();
        if (alive.expired()) return;
        m_inJob = false;
        // Not booked again: one run only.
        if (!m_pending) m_timer.stop();
    }

    QTimer m_timer;
    std::function<void()> m_job;
    bool m_pending = false;
    bool m_inJob = false;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

}  // namespace

std::unique_ptr<OneShotTimer> QtTimerFactory::make(std::function<void()> job, bool precise) {
    return std::make_unique<QtOneShotTimer>(std::move(job), precise);
}

}  // namespace corvane
