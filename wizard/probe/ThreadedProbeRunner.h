#pragma once

#include "probe/ProbeRunner.h"
#include "probe/Prober.h"

#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <memory>

namespace tarvex {

// Runs each batch's probes on a pool thread and hands the outcomes back through the event
// loop of the thread that made the runner; start() is called on that thread too. The prober
// is shared by the pool threads, so it must keep nothing between calls.
class ThreadedProbeRunner final : public ProbeRunner {
public:
    explicit ThreadedProbeRunner(Prober& prober);
    // Waits for the batches still probing (each ends within one probe time-out); none of them
    // delivers afterwards.
    ~ThreadedProbeRunner() override;
    ThreadedProbeRunner(const ThreadedProbeRunner&) = delete;
    ThreadedProbeRunner& operator=(const ThreadedProbeRunner&) = delete;

    void start(const QList<Ipv4Address>& addresses, Done done,
               unsigned throughInterface = kAnyInterface) override;
    void cancelAll() override;

private:
    Prober& prober_;
    // Lives on the caller's thread: the queued deliveries run there, and die with it.
    std::unique_ptr<QObject> context_;
    QThreadPool pool_;
    // Read only on the caller's thread; a batch started under an older value is dropped.
    quint64 generation_ = 0;
};

} // namespace tarvex
