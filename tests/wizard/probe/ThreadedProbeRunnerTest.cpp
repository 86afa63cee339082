#include "probe/ThreadedProbeRunner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace tarvex {
namespace {

// Answers for addresses that begin with "r". Holds every call until `meet` calls are inside
// at once (or a second passed), which shows whether batches really run side by side.
class FakeProber final : public Prober {
public:
    explicit FakeProber(int meet = 1) : meet_(meet) {}

    // Odd addresses answer.
    [[nodiscard]] QList<ProbeOutcome> probeAll(const QList<Ipv4Address>& addresses,
                                               unsigned /*throughInterface*/) override {
        std::unique_lock lock(mutex_);
        threads_.append(QThread::currentThread());
        ++inside_;
        changed_.notify_all();
        if (!changed_.wait_for(lock, std::chrono::seconds(1),
                               [this] { return inside_ >= meet_; })) {
            ++unmet_;
        }
        QList<ProbeOutcome> outcomes;
        for (const Ipv4Address address : addresses) {
            outcomes.append(
                {address.toHostOrder() % 2 == 1 ? EchoStatus::Reply : EchoStatus::NoReply, 0});
        }
        return outcomes;
    }

    [[nodiscard]] QList<QThread*> threads() {
        std::lock_guard lock(mutex_);
        return threads_;
    }
    [[nodiscard]] int unmet() {
        std::lock_guard lock(mutex_);
        return unmet_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    QList<QThread*> threads_;
    int meet_;
    int inside_ = 0;
    int unmet_ = 0;
};

void RunEventsUntil(const std::function<bool()>& condition, qint64 milliseconds = 2000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

TEST(ThreadedProbeRunner, ProbesElsewhereAndDeliversInOrderOnTheCallingThread) {
    FakeProber prober;
    ThreadedProbeRunner runner(prober);
    QList<ProbeOutcome> delivered;
    QThread* deliveredOn = nullptr;
    runner.start({Ipv4Address(1), Ipv4Address(2), Ipv4Address(3)},
                 [&](const QList<ProbeOutcome>& outcomes) {
                     delivered = outcomes;
                     deliveredOn = QThread::currentThread();
                 });
    RunEventsUntil([&] { return deliveredOn != nullptr; });
    const ProbeOutcome reply{EchoStatus::Reply, 0};
    EXPECT_EQ(delivered, (QList<ProbeOutcome>{reply, {EchoStatus::NoReply, 0}, reply}));
    EXPECT_EQ(deliveredOn, QThread::currentThread());
    ASSERT_EQ(prober.threads().size(), 1);
    EXPECT_NE(prober.threads().front(), QThread::currentThread());
}

TEST(ThreadedProbeRunner, RunsBatchesSideBySide) {
    FakeProber prober(3);
    ThreadedProbeRunner runner(prober);
    int delivered = 0;
    for (int i = 0; i < 3; ++i) {
        runner.start({Ipv4Address(1)}, [&](const QList<ProbeOutcome>&) { ++delivered; });
    }
    RunEventsUntil([&] { return delivered == 3; });
    EXPECT_EQ(delivered, 3);
    EXPECT_EQ(prober.unmet(), 0);
}

TEST(ThreadedProbeRunner, CancelledOrOrphanedBatchesNeverDeliver) {
    FakeProber prober;
    int dropped = 0;
    bool later = false;
    {
        ThreadedProbeRunner runner(prober);
        runner.start({Ipv4Address(1)}, [&](const QList<ProbeOutcome>&) { ++dropped; });
        runner.cancelAll();
        runner.start({Ipv4Address(1)}, [&](const QList<ProbeOutcome>&) { later = true; });
        RunEventsUntil([&] { return later; });
        runner.start({Ipv4Address(1)}, [&](const QList<ProbeOutcome>&) { ++dropped; });
    }
    RunEventsUntil([] { return false; }, 50);
    EXPECT_TRUE(later);
    EXPECT_EQ(dropped, 0);
}

} // namespace
} // namespace tarvex
