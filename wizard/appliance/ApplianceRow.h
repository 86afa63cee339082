#pragma once

#include "appliance/DeviceListCells.h"
#include "appliance/DeviceRecord.h"
#include "net/Ipv4Address.h"
#include "net/PcNetwork.h"

#include <QByteArray>
#include <optional>

namespace tarvex {

// One appliance of the device list, from its discovery reply to the user's choice.
struct ApplianceRow {
    DeviceRecord record;                // as received
    QByteArray datagram;                // the reply byte for byte, up to kLongestReplyKept
    qsizetype datagramSize = 0;         // its whole length
    Ipv4Address sender;                 // the reply's source address
    std::optional<Ipv4Address> address; // the reported address, when it can be a host
    Reachability reachability = Reachability::No;
    QByteArray adapter; // the interface it was heard on, as the system names it; empty: unknown
    // That interface's index (0: unknown). The probe leaves by it: a reply heard on one adapter
    // says nothing of a host that answers behind another.
    unsigned interfaceIndex = 0;
    PcNetwork network; // that adapter's network: the search and the configuration use it

    // Where the appliance may be probed, linked and opened: its reported address, only when
    // the reply came from that address. Any host of the LAN can claim any address; only the
    // datagram's source tells where the appliance is.
    [[nodiscard]] std::optional<Ipv4Address> ownAddress() const {
        return address == sender ? address : std::nullopt;
    }
    [[nodiscard]] bool reachable() const {
        return ownAddress() && reachability == Reachability::Yes;
    }
};

} // namespace tarvex
