#include "run/RunAdapters.h"

namespace tarvex {

QList<std::optional<Ipv4Address>> RequestSources(const PcAdapters& adapters) {
    if (!adapters.several()) {
        return {adapters.chosen.address};
    }
    QList<std::optional<Ipv4Address>> sources;
    for (const QualifyingAdapter& adapter : adapters.list.adapters) {
        sources.append(adapter.network.address);
    }
    return sources;
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
