#pragma once

#include "run/RunTimers.h"

#include <QTimer>
#include <array>
#include <utility>

namespace tarvex {

// The run's timers as precise single-shot Qt timers on the thread that made them.
class QtRunTimers final : public RunTimers {
public:
    QtRunTimers();

    void setTick(Tick tick) override { tick_ = std::move(tick); }
    void start(RunTimer timer, std::chrono::milliseconds interval) override;
    void stop(RunTimer timer) override;

private:
    [[nodiscard]] QTimer& timerOf(RunTimer timer);

    std::array<QTimer, 5> timers_;
    Tick tick_;
};

} // namespace tarvex
