#include "services/CountdownService.h"

#include <algorithm>

namespace corvane {

double CountdownService::elapsed() const {
    if (state_ == CountdownState::running) return accumulated_ + (clock_.bootSeconds() - runningSince_);
    return accumulated_;
}

double CountdownService::remaining() const {
    if (state_ == CountdownState::idle) return duration_;
    return std::max(0.0, duration_ - elapsed());
}

void CountdownService::setState(CountdownState state) {
    if (state_ == state) return;
    state_ = state;
    if (onStateChanged) onStateChanged();
}

bool CountdownService::start(double duration) {
    // Written so that NaN is refused as well.
    if (!(duration > 0)) return false;
    duration_ = duration;
    accumulated_ = 0;
    runningSince_ = clock_.bootSeconds();
    setState(CountdownState::running);
    return true;
}

void CountdownService::pause() {
    if (state_ != CountdownState::running) return;
    accumulated_ += clock_.bootSeconds() - runningSince_;
    setState(CountdownState::paused);
}

void CountdownService::resume() {
    if (state_ != CountdownState::paused) return;
    runningSince_ = clock_.bootSeconds();
    setState(CountdownState::running);
}

void CountdownService::checkCompletion() {
    if (state_ != CountdownState::running) return;
    if (accumulated_ + (clock_.bootSeconds() - runningSince_) < duration_) return;
    accumulated_ = duration_;
    setState(CountdownState::idle);
    if (onCompleted) onCompleted();
}

}  // namespace corvane
