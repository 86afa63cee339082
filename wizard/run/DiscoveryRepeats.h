#pragma once

#include "run/RunTimers.h"

#include <chrono>
#include <functional>

namespace tarvex {

// The discovery request goes out three times in its window: at its start, a third of the window
// later and two thirds later (at 0, 1 s and 2 s of the 3 s window). One lost request or reply
// then no longer hides an appliance; an appliance that hears more than one answers each, and
// the listeners keep its first reply. Only the discovery request is repeated: an appliance acts
// on a configuration request, so that one goes out once.
inline constexpr int kDiscoveryRequests = 3;

// Sends the requests after the first, on the DiscoveryRepeat timer.
class DiscoveryRepeats {
public:
    using Send = std::function<void()>;

    explicit DiscoveryRepeats(RunTimers& timers) : timers_(timers) {}

    // The first request of a window of `window` went out; `send` sends each later one. With
    // `requests` 1 nothing more goes out.
    void start(std::chrono::milliseconds window, Send send, int requests = kDiscoveryRequests);
    // The DiscoveryRepeat timer ticked.
    void tick();
    // The window is over (or the run stopped): nothing more goes out.
    void stop();

private:
    RunTimers& timers_;
    Send send_;
    std::chrono::milliseconds every_{0};
    int left_ = 0;
};

} // namespace tarvex
