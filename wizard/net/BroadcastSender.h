#pragma once

#include "net/DevicePorts.h"
#include "net/RequestBroadcaster.h"

#include <QByteArray>
#include <sys/socket.h>
#include <utility>

namespace tarvex {

struct DatagramDestination {
    Ipv4Address address = kLimitedBroadcast;
    quint16 port = kRequestPort;
};

// Sends each request from a socket of its own, with broadcast permission, as one datagram of
// exactly the request's bytes. The socket is bound to the source address when one is given (a
// system-chosen port): Linux sends a limited broadcast from a bound socket out of the interface
// that holds the address, and refuses it (ENETUNREACH) from an unbound one without a default
// route. A socket that cannot be created or a datagram that cannot be sent is returned to the
// caller, who reports it; nothing here shows a window or runs the event loop.
class BroadcastSender final : public RequestBroadcaster {
public:
    // Opens the socket; ::socket except in tests that need it to fail.
    using SocketOpener = int (*)(int domain, int type, int protocol);

    explicit BroadcastSender(DatagramDestination destination = {},
                             SocketOpener openSocket = &::socket)
        : destination_(std::move(destination)), openSocket_(openSocket) {}

    [[nodiscard]] std::optional<BroadcastFailure>
    Broadcast(const QByteArray& request, std::optional<Ipv4Address> source) override;

private:
    DatagramDestination destination_;
    SocketOpener openSocket_;
};

} // namespace tarvex
