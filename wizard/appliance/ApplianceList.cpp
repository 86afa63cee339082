#include "appliance/ApplianceList.h"

#include "appliance/ApplianceAddress.h"
#include "appliance/DeviceProtocol.h"
#include "base/Logging.h"
#include "net/ArrivalAdapter.h"

#include <algorithm>

namespace tarvex {

bool ApplianceList::add(const ArrivedDatagram& datagram) {
    if (KindOfReply(datagram.bytes) != ReplyKind::Discovery) {
        return false;
    }
    const std::pair key(datagram.source.toHostOrder(), datagram.interfaceIndex);
    if (senders_.contains(key)) {
        qCDebug(lcRun) << "discovery reply dropped: its sender" << datagram.source.text()
                       << "has a row already on that adapter";
        return false;
    }
    ReplyCut cut = CutDiscoveryReply(datagram.bytes);
    if (!cut.record) {
        qCDebug(lcRun) << "discovery reply dropped:" << CutRefusalText(cut);
        return false;
    }
    if (rows_.size() >= kMostAppliances) {
        countUnlisted(key);
        qCDebug(lcRun) << "discovery reply dropped: the list holds" << kMostAppliances;
        return false;
    }
    senders_.insert(key);
    ApplianceRow row;
    // No field longer than an appliance sends reaches the row: a forged reply of 64 KB would
    // otherwise cost the list its time and memory.
    row.record = WithinApplianceSizes(std::move(*cut.record));
    row.datagram = datagram.bytes.first(std::min(datagram.bytes.size(), kLongestReplyKept));
    row.datagramSize = datagram.bytes.size();
    row.sender = datagram.source;
    row.adapter = ArrivalAdapterName(adapters_.list.adapters, datagram.interfaceIndex);
    row.interfaceIndex = datagram.interfaceIndex;
    row.network = networkOf(datagram.interfaceIndex);
    row.address = ApplianceAddress(row.record, row.network);
    qCDebug(lcRun) << "discovery reply kept as row" << rows_.size() << "identifier"
                   << row.record.DeviceId.toHex() << "address" << row.record.IpAddress << "from"
                   << datagram.source.text()
                   << (row.ownAddress() ? "(probed)"
                       : row.address    ? "(not the sender's address: never probed)"
                                        : "(not a host address: never probed)");
    rows_.append(std::move(row));
    return true;
}

void ApplianceList::countUnlisted(const std::pair<quint32, unsigned>& sender) {
    if (unlistedSenders_.contains(sender)) {
        return;
    }
    if (unlistedSenders_.size() < kMostUnlistedSendersKnown) {
        unlistedSenders_.insert(sender);
    }
    ++unlisted_;
}

PcNetwork ApplianceList::networkOf(unsigned interfaceIndex) const {
    if (severalAdapters()) {
        if (const QualifyingAdapter* adapter =
                AdapterByIndex(adapters_.list.adapters, interfaceIndex)) {
            return adapter->network;
        }
    }
    return adapters_.chosen;
}

} // namespace tarvex
