#pragma once

#include "net/AdapterChoice.h"
#include "net/Ipv4Address.h"

#include <optional>

namespace tarvex {

// The PC's network on one adapter, read once: the facts as the system gave them (the
// configuration request carries the mask and gateway texts back), and the address and mask
// parsed strictly for every decision of the run.
struct PcNetwork {
    AdapterFacts facts;
    std::optional<Ipv4Address> address; // none when the text is not a dotted quad
    Ipv4Address mask;                   // 0.0.0.0 when the text is not a dotted quad

    [[nodiscard]] static PcNetwork read(const AdapterFacts& facts);
};

} // namespace tarvex
