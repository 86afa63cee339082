#pragma once

#include <QString>
#include <chrono>

namespace tarvex {

// The system's own echo tool, iputils ping, for a user who may open no ICMP socket: Debian and
// Ubuntu install it with the capability to, so the wizard itself needs none.

// Where the system keeps ping: the first of /usr/bin/ping and /bin/ping that may be run; empty
// when neither may. PATH is not searched: another program called ping would not take our options.
[[nodiscard]] QString SystemPingProgram();

// Whether that ping can send echoes for this user: it may be run and it holds CAP_NET_RAW as a
// file capability or is set-user-ID root, or this user is root.
[[nodiscard]] bool PingMaySendEchoes(const QString& program);

// Most pings running at once: twenty candidates go together, a thousand addresses in turns.
inline constexpr std::size_t kMostPingsAtOnce = 32;

// Beyond ping's own deadline, how long it may take to start and end before it is killed.
inline constexpr std::chrono::milliseconds kPingGrace{1000};

} // namespace tarvex
