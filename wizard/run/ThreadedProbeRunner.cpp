#include "run/ThreadedProbeRunner.h"

#include <QMetaObject>

namespace tarvex {

ThreadedProbeRunner::ThreadedProbeRunner(Prober& prober)
    : prober_(prober), generation_(std::make_shared<std::atomic<unsigned>>(0)),
      receiver_(std::make_unique<QObject>()) {
    // Eleven appliances are probed at once, each in a batch of its own.
    pool_.setMaxThreadCount(16);
    pool_.setExpiryTimeout(2000);
}

ThreadedProbeRunner::~ThreadedProbeRunner() {
    cancelAll();
    // Each batch ends within one echo time-out.
    pool_.waitForDone();
    receiver_.reset(); // queued deliveries to it are discarded with it
}

void ThreadedProbeRunner::start(const QStringList& addresses, Done done) {
    const unsigned generation = generation_->load();
    // Alive while any worker runs: the destructor waits for them before it goes.
    QObject* receiver = receiver_.get();
    Prober* prober = &prober_;
    auto generations = generation_;
    pool_.start([prober, addresses, done = std::move(done), receiver, generation, generations] {
        const QList<ProbeOutcome> outcomes = prober->probeAll(addresses);
        // Queued to the receiver's thread; a receiver deleted meanwhile takes the call with it.
        QMetaObject::invokeMethod(
            receiver,
            [done, outcomes, generation, generations] {
                if (generations->load() == generation) {
                    done(outcomes);
                }
            },
            Qt::QueuedConnection);
    });
}

void ThreadedProbeRunner::cancelAll() {
    ++*generation_;
}

} // namespace tarvex
