#pragma once

#include "net/Ipv4Address.h"

#include <QString>

namespace tarvex {

// scheme + "://" + the address printed back as a dotted quad. Only a parsed address is taken, so
// nothing a datagram said beyond the four numbers can reach a link or a command line.
[[nodiscard]] QString ApplianceUrl(const QString& scheme, Ipv4Address address);

} // namespace tarvex
