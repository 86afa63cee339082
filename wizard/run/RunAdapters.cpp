#include "run/RunAdapters.h"

#include "net/ArrivalAdapter.h"

#include <algorithm>

namespace tarvex {

RunAdapters::RunAdapters(AdapterList list, PcNetwork pc)
    : listed_(std::move(list.adapters)), pc_(std::move(pc)) {
    for (const QualifyingAdapter& adapter : listed_) {
        adapters_.push_back(
            {adapter, PcNetwork::read({adapter.address, adapter.mask, adapter.gateway})});
    }
}

QList<std::optional<Ipv4Address>> RunAdapters::sources() const {
    if (!several()) {
        return {pc_.address};
    }
    QList<std::optional<Ipv4Address>> addresses;
    for (const Adapter& adapter : adapters_) {
        addresses.append(adapter.network.address);
    }
    return addresses;
}

std::optional<RunAdapters::Heard> RunAdapters::admit(const DeviceRecord& record,
                                                     unsigned interfaceIndex) {
    if (!several()) {
        return Heard{{}, pc_};
    }
    if (std::any_of(rows_.begin(), rows_.end(), [&](const Row& row) {
            return row.deviceId == record.DeviceId && row.interfaceIndex != interfaceIndex;
        })) {
        return std::nullopt;
    }
    rows_.append({record.DeviceId, interfaceIndex});
    const QString name = QString::fromUtf8(ArrivalAdapterName(listed_, interfaceIndex));
    const auto adapter = std::find_if(adapters_.begin(), adapters_.end(), [&](const Adapter& each) {
        return each.facts.index == interfaceIndex;
    });
    // By an interface not asked through: judged as from the PC's own adapter.
    return Heard{name, adapter != adapters_.end() ? adapter->network : pc_};
}

std::optional<BroadcastFailure>
BroadcastFromEach(RequestBroadcaster& broadcaster, const QByteArray& request,
                  const QList<std::optional<Ipv4Address>>& sources) {
    std::optional<BroadcastFailure> first;
    for (const std::optional<Ipv4Address>& source : sources) {
        const auto failure = broadcaster.Broadcast(request, source);
        if (failure && !first) {
            first = failure;
        }
    }
    return first;
}

} // namespace tarvex
