#include "probe/ThreadedProbeRunner.h"

#include <QMetaObject>

namespace tarvex {
namespace {

// Every batch probes at once even while others are still waiting for their echoes.
constexpr int kMaxParallelBatches = 32;

} // namespace

ThreadedProbeRunner::ThreadedProbeRunner(Prober& prober)
    : prober_(prober), context_(std::make_unique<QObject>()) {
    pool_.setMaxThreadCount(kMaxParallelBatches);
}

ThreadedProbeRunner::~ThreadedProbeRunner() {
    cancelAll();
    // The workers post to context_, so it must outlive them; deleting it afterwards discards
    // the deliveries still queued.
    pool_.waitForDone();
    context_.reset();
}

void ThreadedProbeRunner::start(const QList<Ipv4Address>& addresses, Done done,
                                unsigned throughInterface) {
    const quint64 generation = generation_;
    QObject* context = context_.get();
    pool_.start(
        [this, context, generation, addresses, throughInterface, done = std::move(done)]() mutable {
            QList<ProbeOutcome> outcomes = prober_.probeAll(addresses, throughInterface);
            QMetaObject::invokeMethod(
                context,
                [this, generation, outcomes = std::move(outcomes), done = std::move(done)] {
                    // Runs on the caller's thread, so generation_ is read where it is written.
                    if (generation == generation_ && done) {
                        done(outcomes);
                    }
                },
                Qt::QueuedConnection);
        });
}

void ThreadedProbeRunner::cancelAll() {
    ++generation_;
}

} // namespace tarvex
