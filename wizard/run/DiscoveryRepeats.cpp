#include "run/DiscoveryRepeats.h"

#include <utility>

namespace tarvex {

void DiscoveryRepeats::start(std::chrono::milliseconds window, Send send, int requests) {
    stop();
    if (requests <= 1) {
        return;
    }
    send_ = std::move(send);
    // Spread over the window, the last a whole spacing before its end, so that its replies
    // have as long to come back as the first one's.
    every_ = window / requests;
    left_ = requests - 1;
    timers_.start(RunTimer::DiscoveryRepeat, every_);
}

void DiscoveryRepeats::tick() {
    timers_.stop(RunTimer::DiscoveryRepeat);
    if (left_ <= 0) {
        return;
    }
    --left_;
    if (left_ > 0) {
        timers_.start(RunTimer::DiscoveryRepeat, every_);
    }
    // Last: the sender may stop the repeats.
    const Send send = send_;
    send();
}

void DiscoveryRepeats::stop() {
    timers_.stop(RunTimer::DiscoveryRepeat);
    left_ = 0;
    send_ = nullptr;
}

} // namespace tarvex
