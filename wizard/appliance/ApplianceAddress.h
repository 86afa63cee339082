#pragma once

#include "appliance/DeviceRecord.h"
#include "net/Ipv4Address.h"
#include "net/PcNetwork.h"

#include <optional>

namespace tarvex {

// The address an appliance reported, when it can be a host: a strict dotted quad that can be a
// unicast host seen from the PC's network. Nothing for any other text, whatever inet_addr would
// have made of it.
[[nodiscard]] std::optional<Ipv4Address> ApplianceAddress(const DeviceRecord& record,
                                                          const PcNetwork& network);

} // namespace tarvex
