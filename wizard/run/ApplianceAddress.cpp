#include "run/ApplianceAddress.h"

namespace tarvex {

std::optional<Ipv4Address> ApplianceAddress(const DeviceRecord& record, const QString& pcAddress,
                                            const QString& pcMask) {
    const std::optional<Ipv4Address> address = Ipv4Address::parse(record.IpAddress);
    // An adapter without facts leaves 0.0.0.0/0: the general rules still hold.
    const Ipv4Address pc = Ipv4Address::parse(QStringView(pcAddress)).value_or(Ipv4Address());
    const Ipv4Address mask = Ipv4Address::parse(QStringView(pcMask)).value_or(Ipv4Address());
    if (!address || !IsUnicastHostAddress(*address, pc, mask)) {
        return std::nullopt;
    }
    return address;
}

} // namespace tarvex
