#include "run/RunAdapters.h"

#include "run/ArrivalAdapter.h"

#include <algorithm>

namespace tarvex {

QStringList RunAdapters::sources(const QString& pcAddress) const {
    if (!several()) {
        return {pcAddress};
    }
    QStringList addresses;
    for (const QualifyingAdapter& adapter : adapters_) {
        addresses.append(adapter.address);
    }
    return addresses;
}

std::optional<AdapterFacts> RunAdapters::admit(const DeviceRecord& record, unsigned interfaceIndex,
                                               const AdapterFacts& pc) {
    if (!several()) {
        return pc;
    }
    if (std::any_of(rows_.begin(), rows_.end(), [&](const Row& row) {
            return row.deviceId == record.DeviceId && row.interfaceIndex != interfaceIndex;
        })) {
        return std::nullopt;
    }
    rows_.append({record.DeviceId, interfaceIndex});
    const QualifyingAdapter* adapter = AdapterByIndex(adapters_, interfaceIndex);
    // By an interface not asked through: judged as from the PC's own adapter.
    return adapter != nullptr ? AdapterFacts{adapter->address, adapter->mask, adapter->gateway}
                              : pc;
}

QStringList RunAdapters::rowAdapters() const {
    QStringList names;
    for (const Row& row : rows_) {
        names.append(QString::fromUtf8(ArrivalAdapterName(adapters_, row.interfaceIndex)));
    }
    return names;
}

void RunAdapters::choose(qsizetype row, WizardGlobals& globals) const {
    if (row < 0 || row >= rows_.size()) {
        return;
    }
    if (const QualifyingAdapter* adapter = AdapterByIndex(adapters_, rows_[row].interfaceIndex)) {
        globals.PcAddress = adapter->address;
        globals.PcMask = adapter->mask;
        globals.PcGateway = adapter->gateway;
    }
}

std::optional<BroadcastFailure> BroadcastFromEach(RequestBroadcaster& broadcaster,
                                                  const QByteArray& request,
                                                  const QStringList& sources) {
    std::optional<BroadcastFailure> first;
    for (const QString& source : sources) {
        const auto failure = broadcaster.Broadcast(request, source);
        if (failure && !first) {
            first = failure;
        }
    }
    return first;
}

} // namespace tarvex
