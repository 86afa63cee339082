#pragma once

#include "net/Ipv4Address.h"
#include "net/UdpPortHolder.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace tarvex {

// Why the reply port could not be opened: the errno of the failed bind, and its text as the
// socket layer reports it ("Address already in use.").
struct ListenerFailure {
    int error = 0;
    QString reason;
    // The program that holds the port, where the system shows it.
    std::optional<UdpPortHolder> holder;
};

// One datagram as it arrived: its bytes untouched, the interface it came in by and its sender.
struct ArrivedDatagram {
    QByteArray bytes;
    unsigned interfaceIndex = 0; // 0 when the system did not say
    Ipv4Address source;          // the sender's address

    friend bool operator==(const ArrivedDatagram&, const ArrivedDatagram&) = default;
};

// The PC's reply port: a UDP endpoint on port 12310 of every local IPv4 address. While it is
// open every datagram that arrives is handed to the receiver whole, as the bytes that came, with
// the interface it arrived by and its sender.
class ReplyListener {
public:
    using Receiver = std::function<void(const ArrivedDatagram& datagram)>;

    virtual ~ReplyListener() = default;
    // Opens the port (closing it first if it was open). Without address sharing, so that a
    // port another program holds is noticed: then the failure, and nothing is received.
    [[nodiscard]] virtual std::optional<ListenerFailure> OpenListener(Receiver receiver) = 0;
    // Closes the port; no datagram is handed over afterwards. Closing a closed port is fine.
    virtual void CloseListener() = 0;
};

} // namespace tarvex
