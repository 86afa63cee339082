#pragma once

#include "probe/Prober.h"
#include "probe/SystemPing.h"

#include <QString>
#include <chrono>

namespace tarvex {

// The system's ping as a prober of its own: one ping per address, each one echo with the 26-byte
// payload and the time-out as its deadline, run by BoundedProcess (no shell, a session and
// process group of its own, a fixed environment, its group killed kPingGrace after the
// deadline), all at once up to kMostPingsAtOnce. Exit 0: Reply; exit 1 (no reply, or an ICMP
// error answered): NoReply; anything else (a send that failed, a ping killed at its limit, one
// that could not start): NotSent. Runs a local event loop on the calling thread until every
// ping is reaped. Keeps nothing between calls.
class SystemPingProber final : public Prober {
public:
    SystemPingProber(QString program, std::chrono::milliseconds timeout)
        : program_(std::move(program)), timeout_(timeout) {}

    [[nodiscard]] QList<ProbeOutcome> probeAll(const QList<Ipv4Address>& addresses,
                                               unsigned throughInterface = kAnyInterface) override;

private:
    QString program_;
    std::chrono::milliseconds timeout_;
};

} // namespace tarvex
