#pragma once

#include "net/Ipv4Address.h"

#include <QtGlobal>

namespace tarvex {

// Where the device protocol's datagrams go: requests to every appliance as a limited broadcast,
// replies back to a fixed port of the PC.
inline constexpr quint16 kRequestPort = 12311;
inline constexpr quint16 kReplyPort = 12310;
inline constexpr Ipv4Address kLimitedBroadcast{0xFFFFFFFFU};

} // namespace tarvex
