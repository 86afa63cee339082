#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace tarvex {

// A process that has a UDP port open, as /proc shows it to this user.
struct UdpPortHolder {
    qint64 pid = 0;
    QString program; // its command name, as the kernel keeps it (at most 15 bytes)

    friend bool operator==(const UdpPortHolder&, const UdpPortHolder&) = default;
};

// The process holding a UDP port of this network namespace on any address, IPv4 or IPv6: the
// socket's inode in `proc`/net/udp and udp6, then the process whose descriptors include that
// socket, the lowest id first. Nothing when no socket has the port or no process of it can be
// seen (another user's, to an ordinary user). Reads only /proc, a few milliseconds.
[[nodiscard]] std::optional<UdpPortHolder> FindUdpPortHolder(quint16 port,
                                                             const QString& proc = "/proc");

} // namespace tarvex
