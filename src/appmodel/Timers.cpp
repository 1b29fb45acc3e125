#include "appmodel/Timers.h"

#include <QTimer>

namespace corvane {

namespace {

class QtOneShotTimer final : public OneShotTimer {
public:
    QtOneShotTimer(std::function<void()> job, bool precise) : m_job(std::move(job)) {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(precise ? Qt::PreciseTimer : Qt::CoarseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_job) m_job();
        });
    }
    void start(qint64 msecs) override { m_timer.start(int(qBound<qint64>(0, msecs, 24LL * 3600 * 1000))); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
    std::function<void()> m_job;
};

}  // namespace

std::unique_ptr<OneShotTimer> QtTimerFactory::make(std::function<void()> job, bool precise) {
    return std::make_unique<QtOneShotTimer>(std::move(job), precise);
}

}  // namespace corvane
