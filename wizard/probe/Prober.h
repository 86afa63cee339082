#pragma once

#include "net/Ipv4Address.h"

#include <QList>

namespace tarvex {

enum class EchoStatus {
    Reply,       // an echo reply from that address to this probe arrived in time
    NoReply,     // the echo was sent: no reply in time, or an ICMP error answered it
    NotSent,     // the echo could not be sent (`error` says why): nothing learnt of the address
    NotAccepted, // the address is no host (255.255.255.255); nothing was sent
    Impossible,  // no ICMP socket could be opened: nothing was tested
};

// The status's name, for the log.
[[nodiscard]] const char* EchoStatusName(EchoStatus status);

// What one reachability probe found out.
struct ProbeOutcome {
    EchoStatus status = EchoStatus::NoReply;
    int error = 0; // errno: why probing was impossible (Impossible) or sending failed (NotSent)

    [[nodiscard]] bool reachable() const { return status == EchoStatus::Reply; }
    friend bool operator==(const ProbeOutcome&, const ProbeOutcome&) = default;
};

// An interface index for "wherever the routing table sends each echo".
inline constexpr unsigned kAnyInterface = 0;

// Sends one ICMP echo to each address and tells which answered. The run and the device list
// use it through this interface so that tests can stand in for the network.
class Prober {
public:
    virtual ~Prober() = default;
    // One outcome per address, in the order given; all probes run at once, each with its own
    // time limit, so the whole call lasts about one time-out however many addresses there are.
    // With an interface every echo leaves by it, whatever the routing table says: what answers
    // is on that adapter's side.
    [[nodiscard]] virtual QList<ProbeOutcome>
    probeAll(const QList<Ipv4Address>& addresses, unsigned throughInterface = kAnyInterface) = 0;

    [[nodiscard]] ProbeOutcome probe(Ipv4Address address,
                                     unsigned throughInterface = kAnyInterface) {
        return probeAll({address}, throughInterface).value(0);
    }
};

} // namespace tarvex
