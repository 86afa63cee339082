#pragma once

#include <chrono>
#include <functional>

namespace tarvex {

// The timers of the running-status page.
enum class RunTimer {
    DiscoveryWindow,      // ends the discovery window
    ScanStart,            // starts the scan once the page is up
    ConfigurationTimeout, // the appliance did not answer the configuration
    DiscoveryRepeat,      // sends the discovery request again within the window
    AddressCheck,         // the found address may be free by now
};

// The intervals the run gives its timers; tests shorten them.
struct RunIntervals {
    std::chrono::milliseconds scanStart{100};
    std::chrono::milliseconds discoveryWindow{3000};
    std::chrono::milliseconds configureTimeout{30000};
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
