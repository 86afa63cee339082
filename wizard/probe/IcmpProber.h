#pragma once

#include "probe/EchoSocketWays.h"
#include "probe/Prober.h"
#include "probe/SocketProber.h"
#include "probe/SystemPing.h"
#include "probe/SystemPingProber.h"

#include <chrono>
#include <sys/socket.h>

namespace tarvex {

// The ways an echo may go, in the order they are tried.
enum class ProbeWays {
    Any, // normal use: the datagram socket, the raw socket, then the system's ping
    DatagramOnly,
    RawOnly,
    SystemPingOnly,
};

// The real prober, which chooses the way: the socket prober on the first ICMP socket this
// process may open (datagram, then raw); where it may open none, the system's ping prober.
// Keeps nothing between calls.
class IcmpProber final : public Prober {
public:
    // pingProgram: the system's ping (SystemPingProgram()); empty: none.
    explicit IcmpProber(std::chrono::milliseconds timeout = kEchoTimeout,
                        ProbeWays ways = ProbeWays::Any, EchoSender sender = &::sendto,
                        QString pingProgram = SystemPingProgram())
        : timeout_(timeout), ways_(ways), sender_(sender), pingProgram_(std::move(pingProgram)) {}

    [[nodiscard]] QList<ProbeOutcome> probeAll(const QList<Ipv4Address>& addresses,
                                               unsigned throughInterface = kAnyInterface) override;

private:
    std::chrono::milliseconds timeout_;
    ProbeWays ways_;
    EchoSender sender_;
    QString pingProgram_;
};

// The socket ways of that choice, in the order they are tried.
[[nodiscard]] std::vector<const EchoSocketWay*> EchoSocketWaysOf(ProbeWays ways);

// Which way the probe works here: opens (and closes) the sockets it would, sends nothing.
[[nodiscard]] ProbeWay ProbeWayOnThisPc(const QString& pingProgram = SystemPingProgram());

} // namespace tarvex
