#pragma once

#include "modules/Prober.h"
#include "run/ProbeRunner.h"

#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <memory>

namespace tarvex {

// Runs each batch of probes on a worker thread of its own pool and hands the outcomes back on
// the thread that started it, so that the user interface never waits for an echo. The prober
// keeps nothing between calls, so batches may run side by side.
class ThreadedProbeRunner final : public ProbeRunner {
public:
    explicit ThreadedProbeRunner(Prober& prober);
    ~ThreadedProbeRunner() override;
    ThreadedProbeRunner(const ThreadedProbeRunner&) = delete;
    ThreadedProbeRunner& operator=(const ThreadedProbeRunner&) = delete;

    void start(const QStringList& addresses, Done done) override;
    void cancelAll() override;

private:
    Prober& prober_;
    QThreadPool pool_;
    // Results of an older generation are dropped: cancelAll() moves it on.
    std::shared_ptr<std::atomic<unsigned>> generation_;
    // Lives on the starting thread; results are queued to it and die with it.
    std::unique_ptr<QObject> receiver_;
};

} // namespace tarvex
