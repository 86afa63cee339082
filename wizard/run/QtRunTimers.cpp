#include "run/QtRunTimers.h"

namespace tarvex {

QtRunTimers::QtRunTimers() {
    for (const RunTimer timer : {RunTimer::Timer1, RunTimer::Timer2, RunTimer::Timer3}) {
        QTimer& qtTimer = timerOf(timer);
        qtTimer.setSingleShot(true);
        qtTimer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&qtTimer, &QTimer::timeout, [this, timer] {
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

} // namespace tarvex
