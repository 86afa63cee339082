#pragma once

#include "probe/EchoSocketWays.h"
#include "probe/Prober.h"

#include <chrono>
#include <sys/socket.h>
#include <vector>

namespace tarvex {

// Sends one echo; ::sendto except in tests that make sending fail.
using EchoSender = ssize_t (*)(int fd, const void* data, std::size_t size, int flags,
                               const sockaddr* to, socklen_t toSize);

// An ICMP socket of one way, open, or the errno of the last way that would not open.
struct OpenedEchoSocket {
    int fd = -1;
    const EchoSocketWay* way = nullptr;
    int error = 0;
};

// Opens the first of the ways, in order, that this process may open; a way is passed over only
// when the one before it failed with an errno it names (EchoSocketWay::nextWayAfter).
[[nodiscard]] OpenedEchoSocket OpenEchoSocket(const std::vector<const EchoSocketWay*>& ways);

// Echoes go out in bursts of this many with a short pause between them, so that a thousand
// probes do not overrun the socket's send buffer or the queue of a neighbour being resolved.
inline constexpr int kEchoBurst = 32;
inline constexpr std::chrono::milliseconds kEchoBurstPause{1};

// ICMP echo requests on one socket of the first way that opens, all answered or timed out in
// one bounded wait. Without any socket every outcome is Impossible with the errno of the last
// way tried. Keeps nothing between calls.
class SocketProber final : public Prober {
public:
    SocketProber(std::vector<const EchoSocketWay*> ways, std::chrono::milliseconds timeout,
                 EchoSender sender = &::sendto)
        : ways_(std::move(ways)), timeout_(timeout), sender_(sender) {}

    [[nodiscard]] QList<ProbeOutcome> probeAll(const QList<Ipv4Address>& addresses,
                                               unsigned throughInterface = kAnyInterface) override;

private:
    std::vector<const EchoSocketWay*> ways_;
    std::chrono::milliseconds timeout_;
    EchoSender sender_;
};

} // namespace tarvex
