#pragma once

#include "modules/DeviceRecord.h"
#include "modules/Ipv4Address.h"

#include <QString>
#include <optional>

namespace tarvex {

// The address an appliance reported, when it may be probed, linked and opened: a strict dotted
// quad that can be a unicast host seen from the PC's adapter (pcAddress, pcMask). Nothing for
// any other text, whatever inet_addr would have made of it.
[[nodiscard]] std::optional<Ipv4Address>
ApplianceAddress(const DeviceRecord& record, const QString& pcAddress, const QString& pcMask);

} // namespace tarvex
