#pragma once

#include "net/Ipv4Address.h"
#include "probe/Prober.h"

#include <QList>
#include <functional>

namespace tarvex {

// Runs reachability probes without holding up the user interface: start() returns at once and
// `done` is called later, on the thread that called start(), with one outcome per address in
// the order given. Several batches may run at the same time.
class ProbeRunner {
public:
    using Done = std::function<void(const QList<ProbeOutcome>& outcomes)>;

    virtual ~ProbeRunner() = default;
    // With an interface every echo of the batch leaves by it (Prober::probeAll).
    virtual void start(const QList<Ipv4Address>& addresses, Done done,
                       unsigned throughInterface = kAnyInterface) = 0;
    // Drops every batch still running: their `done` is never called. For a run that stopped.
    virtual void cancelAll() = 0;
};

} // namespace tarvex
