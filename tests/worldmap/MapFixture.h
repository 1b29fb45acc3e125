#pragma once

// The world-map tests read a small catalogue of their own. The catalogue is
// read once per process, so the folder is set before any test runs.

#include <QByteArray>
#include <QtGlobal>
#include <functional>
#include <vector>

namespace corvane::testing {

inline const bool kFixtureCatalogue = [] {
    qputenv("CORVANE_RESOURCE_DIR", QByteArray(CORVANE_TEST_DATA "/worldmap/fixtures"));
    return true;
}();

// Hide jobs the map state schedules, run by hand: each keeps its due time.
struct ManualTimers {
    struct Job {
        qint64 due;
        std::function<void()> run;
    };
    qint64 now = 0;
    std::vector<Job> jobs;

    std::function<void(int, std::function<void()>)> schedule() {
        return [this](int msecs, std::function<void()> job) { jobs.push_back({now + msecs, std::move(job)}); };
    }
    // Moves time on, running every job that falls due on the way, in order.
    void advance(qint64 msecs) {
        const qint64 end = now + msecs;
        for (;;) {
            auto next = jobs.end();
            for (auto it = jobs.begin(); it != jobs.end(); ++it)
                if (it->due <= end && (next == jobs.end() || it->due < next->due)) next = it;
            if (next == jobs.end()) break;
            now = next->due;
            auto run = std::move(next->run);
            jobs.erase(next);
            run();
        }
        now = end;
    }
};

}  // namespace corvane::testing
