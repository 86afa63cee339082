#pragma once

#include "net/Ipv4Address.h"

#include <optional>

namespace tarvex {

// The PC's network on one adapter, as the kernel gives it: its address and mask, and the gateway
// of its default route. Every decision of the run is taken on these values; they become text
// only in the configuration request and on screen.
struct PcNetwork {
    std::optional<Ipv4Address> address; // none: the PC has no adapter
    Ipv4Address mask;
    std::optional<Ipv4Address> gateway; // none: no default route on the adapter

    friend bool operator==(const PcNetwork&, const PcNetwork&) = default;
};

} // namespace tarvex
