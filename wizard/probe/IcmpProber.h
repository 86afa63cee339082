#pragma once

#include "probe/Prober.h"
#include "probe/SystemPing.h"

#include <chrono>
#include <sys/socket.h>

namespace tarvex {

// The echo payload every probe sends.
inline constexpr char kEchoPayload[] = "abcdefghijklmnopqrstuvwxyz";
inline constexpr std::chrono::milliseconds kEchoTimeout{500};

// The ways an echo may go, in the order they are tried.
enum class ProbeWays {
    Any, // normal use: the datagram socket, the raw socket, then the system's ping
    DatagramOnly,
    RawOnly,
    SystemPingOnly,
};

// The way the probe works on this PC, as the diagnosis tells it.
enum class ProbeWay {
    DatagramSocket, // this user's group is in net.ipv4.ping_group_range
    RawSocket,      // this process holds CAP_NET_RAW
    SystemPing,     // neither: one ping process per echo
    None,           // nothing can send an echo
};

// The real prober: ICMP echo requests on one socket, all answered or timed out in one bounded
// wait; where this user may open no ICMP socket, one system ping per address, all at once.
// Keeps nothing between calls.
class IcmpProber final : public Prober {
public:
    // Sends one echo; ::sendto except in tests that make sending fail.
    using EchoSender = ssize_t (*)(int fd, const void* data, std::size_t size, int flags,
                                   const sockaddr* to, socklen_t toSize);

    // pingProgram: the system's ping (SystemPingProgram()); empty: none.
    explicit IcmpProber(std::chrono::milliseconds timeout = kEchoTimeout,
                        ProbeWays ways = ProbeWays::Any, EchoSender sender = &::sendto,
                        QString pingProgram = SystemPingProgram())
        : timeout_(timeout), ways_(ways), sender_(sender), pingProgram_(std::move(pingProgram)) {}

    [[nodiscard]] QList<ProbeOutcome> probeAll(const QList<Ipv4Address>& addresses) override;

private:
    std::chrono::milliseconds timeout_;
    ProbeWays ways_;
    EchoSender sender_;
    QString pingProgram_;
};

// Which way the probe works here: opens (and closes) the sockets it would, sends nothing.
[[nodiscard]] ProbeWay ProbeWayOnThisPc(const QString& pingProgram = SystemPingProgram());

// Echoes go out in bursts of this many with a short pause between them, so that a thousand
// probes do not overrun the socket's send buffer or the queue of a neighbour being resolved.
inline constexpr int kEchoBurst = 32;
inline constexpr std::chrono::milliseconds kEchoBurstPause{1};

// Whether an ICMP error of this type ends a probe as "no reply": destination unreachable, time
// exceeded and parameter problem do; the others (a redirect, a source quench) leave the echo
// on its way, and the reply may still come.
[[nodiscard]] bool IcmpErrorEndsProbe(int type);

// Converts an address text by the strict dotted-quad rule of Ipv4Address: short, octal and
// hexadecimal forms, host names, anything around the four numbers and "255.255.255.255" (never
// one host) are not accepted. Returns false when the text is not accepted.
[[nodiscard]] bool AcceptAddressText(const QString& text, quint32* networkOrderAddress);

} // namespace tarvex
