#pragma once

#include <chrono>
#include <functional>

namespace tarvex {

// The timers of the running-status page.
enum class RunTimer {
    Timer1,          // ends the discovery window
    Timer2,          // starts the scan once the page is up
    Timer3,          // configuration time-out
    DiscoveryRepeat, // sends the discovery request again within the window
};

// The intervals the run gives its timers; tests shorten them.
struct RunIntervals {
    std::chrono::milliseconds scanStart{100};          // Timer2
    std::chrono::milliseconds discoveryWindow{3000};   // Timer1
    std::chrono::milliseconds configureTimeout{30000}; // Timer3
};

// Single-shot timers that call the run back on the user-interface thread.
class RunTimers {
public:
    using Tick = std::function<void(RunTimer timer)>;

    virtual ~RunTimers() = default;
    virtual void setTick(Tick tick) = 0;
    // (Re)starts the timer; it ticks once after the interval unless stopped first.
    virtual void start(RunTimer timer, std::chrono::milliseconds interval) = 0;
    virtual void stop(RunTimer timer) = 0;
};

} // namespace tarvex
