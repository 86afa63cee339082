#pragma once

#include "run/RunTimers.h"

#include <QTimer>
#include <array>

namespace tarvex {

// The run's three timers as single-shot Qt timers on the user-interface thread.
class QtRunTimers final : public RunTimers {
public:
    QtRunTimers();
    void setTick(Tick tick) override { tick_ = std::move(tick); }
    void start(RunTimer timer, std::chrono::milliseconds interval) override;
    void stop(RunTimer timer) override;

private:
    QTimer& timerOf(RunTimer timer) { return timers_[static_cast<std::size_t>(timer)]; }

    std::array<QTimer, 3> timers_;
    Tick tick_;
};

} // namespace tarvex
