#pragma once

#include "probe/Prober.h"

#include <chrono>
#include <cstddef>
#include <vector>

namespace tarvex {

// The echo payload every probe sends.
inline constexpr char kEchoPayload[] = "abcdefghijklmnopqrstuvwxyz";
inline constexpr std::chrono::milliseconds kEchoTimeout{500};

// The way the probe works on this PC, as the diagnosis tells it.
enum class ProbeWay {
    DatagramSocket, // this user's group is in net.ipv4.ping_group_range
    RawSocket,      // this process holds CAP_NET_RAW
    SystemPing,     // neither: one ping process per echo
    None,           // nothing can send an echo
};

// What a socket told of one of our echoes: to which address, which sequence number, and what
// became of it.
struct EchoAnswer {
    quint32 address = 0; // network byte order
    quint16 sequence = 0;
    EchoStatus status = EchoStatus::NoReply;
    int error = 0;
};

// One way an echo goes out on an ICMP socket and its answer comes back, as iputils ping's
// ping_func_set_st: the socket prober's one loop runs on any of them.
struct EchoSocketWay {
    ProbeWay way; // as the diagnosis names it
    // A non-blocking socket, set up for this way; -1 with errno when this process may not.
    int (*open)();
    // Whether, after open() failed with this errno, the next way of the list is worth a try.
    bool (*nextWayAfter)(int error);
    // The echo request with this identifier and sequence number (ICMP header and payload).
    std::vector<unsigned char> (*buildEcho)(quint16 identifier, quint16 sequence);
    // Reads what waits on the socket (`events` as poll gave them) and appends what answers our
    // echoes: replies, and ICMP errors that end a probe, which count as "no reply" at once.
    void (*readAnswers)(int fd, short events, quint16 identifier, std::vector<EchoAnswer>& answers);
};

// The unprivileged echo socket (SOCK_DGRAM, IPPROTO_ICMP): the kernel sets the identifier and
// keeps other processes' replies away; ICMP errors come on its error queue.
extern const EchoSocketWay kDatagramSocketWay;
// The raw ICMP socket: needs CAP_NET_RAW, sees every ICMP message of the host (filtered to the
// four types a probe can use) with its IP header.
extern const EchoSocketWay kRawSocketWay;

// Whether an ICMP error of this type ends a probe as "no reply": destination unreachable, time
// exceeded and parameter problem do; the others (a redirect, a source quench) leave the echo
// on its way, and the reply may still come.
[[nodiscard]] bool IcmpErrorEndsProbe(int type);

} // namespace tarvex
