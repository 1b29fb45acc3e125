#include "services/StopwatchService.h"

namespace corvane {

double StopwatchService::elapsed() const {
    if (state_ == StopwatchState::running) return accumulated_ + (clock_.bootSeconds() - runningSince_);
    return accumulated_;
}

void StopwatchService::setState(StopwatchState state) {
    if (state_ == state) return;
    state_ = state;
    if (onStateChanged) onStateChanged();
}

void StopwatchService::start() {
    if (state_ != StopwatchState::idle && state_ != StopwatchState::stopped) return;
    accumulated_ = 0;
    runningSince_ = clock_.bootSeconds();
    setState(StopwatchState::running);
}

void StopwatchService::pause() {
    if (state_ != StopwatchState::running) return;
    accumulated_ += clock_.bootSeconds() - runningSince_;
    setState(StopwatchState::paused);
}

void StopwatchService::resume() {
    if (state_ != StopwatchState::paused) return;
    runningSince_ = clock_.bootSeconds();
    setState(StopwatchState::running);
}

void StopwatchService::stop() {
    if (state_ == StopwatchState::running) accumulated_ += clock_.bootSeconds() - runningSince_;
    if (state_ == StopwatchState::running || state_ == StopwatchState::paused) setState(StopwatchState::stopped);
}

void StopwatchService::reset() {
    accumulated_ = 0;
    setState(StopwatchState::idle);
}

}  // namespace corvane
