#include "appliance/ApplianceAddress.h"

namespace tarvex {

std::optional<Ipv4Address> ApplianceAddress(const DeviceRecord& record, const PcNetwork& network) {
    const std::optional<Ipv4Address> address = Ipv4Address::parse(record.IpAddress);
    // An adapter without facts leaves 0.0.0.0/0: the general rules still hold.
    if (!address ||
        !IsUnicastHostAddress(*address, network.address.value_or(Ipv4Address()), network.mask)) {
        return std::nullopt;
    }
    return address;
}

} // namespace tarvex
