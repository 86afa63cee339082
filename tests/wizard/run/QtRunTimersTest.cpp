#include "run/QtRunTimers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace tarvex {
namespace {

using namespace std::chrono_literals;

class QtRunTimersTest : public ::testing::Test {
protected:
    QtRunTimersTest() {
        timers_.setTick([this](RunTimer timer) { ticks_.append(timer); });
    }

    void runEvents(qint64 milliseconds) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }

    QtRunTimers timers_;
    QList<RunTimer> ticks_;
};

TEST_F(QtRunTimersTest, EachStartedTimerTicksOnce) {
    timers_.start(RunTimer::ConfigurationTimeout, 30ms);
    timers_.start(RunTimer::ScanStart, 5ms);
    runEvents(120);
    EXPECT_EQ(ticks_, (QList<RunTimer>{RunTimer::ScanStart, RunTimer::ConfigurationTimeout}));
}

TEST_F(QtRunTimersTest, StoppedTimerDoesNotTick) {
    timers_.start(RunTimer::DiscoveryWindow, 20ms);
    timers_.start(RunTimer::ConfigurationTimeout, 20ms);
    timers_.stop(RunTimer::DiscoveryWindow);
    runEvents(80);
    EXPECT_EQ(ticks_, QList<RunTimer>{RunTimer::ConfigurationTimeout});
}

} // namespace
} // namespace tarvex
