#include "run/QtRunTimers.h"

namespace tarvex {

QtRunTimers::QtRunTimers() {
    for (const RunTimer timer :
         {RunTimer::DiscoveryWindow, RunTimer::ScanStart, RunTimer::ConfigurationTimeout,
          RunTimer::DiscoveryRepeat, RunTimer::AddressCheck}) {
        QTimer& qtTimer = timerOf(timer);
        qtTimer.setSingleShot(true);
        // The 100 ms start of the scan should not drift by the coarse timer's 5 %.
        qtTimer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&qtTimer, &QTimer::timeout, &qtTimer, [this, timer] {
            if (tick_) {
                tick_(timer);
            }
        });
    }
}

void QtRunTimers::start(RunTimer timer, std::chrono::milliseconds interval) {
    timerOf(timer).start(interval);
}

void QtRunTimers::stop(RunTimer timer) {
    timerOf(timer).stop();
}

QTimer& QtRunTimers::timerOf(RunTimer timer) {
    return timers_[static_cast<std::size_t>(timer)];
}

} // namespace tarvex
