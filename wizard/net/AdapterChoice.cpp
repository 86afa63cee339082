#include "net/AdapterChoice.h"

#include "base/Logging.h"
#include "net/Ipv4Address.h"

#include <QList>
#include <algorithm>
#include <iterator>
#include <net/route.h>

namespace tarvex {

namespace {

bool qualifies(const InterfaceAddress& entry) {
    return entry.up && entry.broadcast && !entry.loopback && !entry.pointToPoint;
}

const InterfaceAddress* firstAddressOf(const std::vector<InterfaceAddress>& addresses,
                                       const QByteArray& name) {
    const auto found = std::find_if(addresses.begin(), addresses.end(), [&](const auto& entry) {
        return entry.name == name && qualifies(entry);
    });
    return found == addresses.end() ? nullptr : &*found;
}

const InterfaceAddress* lowestIndexAddress(const std::vector<InterfaceAddress>& addresses) {
    const InterfaceAddress* best = nullptr;
    for (const InterfaceAddress& entry : addresses) {
        // Strictly lower: the first listed address of an interface is its primary one.
        if (qualifies(entry) && (best == nullptr || entry.index < best->index)) {
            best = &entry;
        }
    }
    return best;
}

// The default routes, lowest metric first: the one order in which both the adapter's choice
// and every adapter's gateway are read.
class RoutesByMetric {
public:
    explicit RoutesByMetric(std::vector<DefaultRoute> routes) : routes_(std::move(routes)) {
        std::stable_sort(routes_.begin(), routes_.end(),
                         [](const auto& a, const auto& b) { return a.metric < b.metric; });
    }
    [[nodiscard]] const std::vector<DefaultRoute>& routes() const { return routes_; }
    // The network of an interface's address, with the gateway of its best default route.
    [[nodiscard]] PcNetwork networkOf(const InterfaceAddress& entry) const {
        PcNetwork network{entry.address, entry.mask, std::nullopt};
        const auto route = std::find_if(routes_.begin(), routes_.end(), [&](const auto& each) {
            return each.interfaceName == entry.name;
        });
        if (route != routes_.end()) {
            network.gateway = route->gateway;
        }
        return network;
    }

private:
    std::vector<DefaultRoute> routes_;
};

} // namespace

PcNetwork ChooseAdapter(const std::vector<InterfaceAddress>& addresses,
                        const std::vector<DefaultRoute>& routes) {
    const RoutesByMetric byMetric(routes);
    const InterfaceAddress* chosen = nullptr;
    for (const DefaultRoute& route : byMetric.routes()) {
        chosen = firstAddressOf(addresses, route.interfaceName);
        if (chosen != nullptr) {
            qCDebug(lcNet) << "adapter" << chosen->name << chosen->address.text()
                           << "chosen: it holds the default route of metric" << route.metric;
            break;
        }
    }
    if (chosen == nullptr) {
        chosen = lowestIndexAddress(addresses);
        if (chosen != nullptr) {
            qCDebug(lcNet) << "adapter" << chosen->name << chosen->address.text()
                           << "chosen: no usable default route, the lowest interface index";
        }
    }
    if (chosen == nullptr) {
        qCDebug(lcNet) << "no adapter qualifies (up, broadcast, not loopback or point-to-point, "
                          "with IPv4)";
        return {};
    }

    return byMetric.networkOf(*chosen);
}

bool IsContainerOrVmLink(const QByteArray& name) {
    static const char* const prefixes[] = {"docker", "br-", "virbr",  "veth",  "lxcbr",
                                           "lxdbr",  "cni", "podman", "vmnet", "vboxnet"};
    return std::any_of(std::begin(prefixes), std::end(prefixes),
                       [&](const char* prefix) { return name.startsWith(prefix); });
}

AdapterList ListAdapters(const std::vector<InterfaceAddress>& addresses,
                         const std::vector<DefaultRoute>& routes) {
    const RoutesByMetric byMetric(routes);
    AdapterList list;
    std::vector<const InterfaceAddress*> skipped;
    const auto seen = [&](const QByteArray& name) {
        return std::any_of(list.adapters.begin(), list.adapters.end(),
                           [&](const auto& a) { return a.name == name; }) ||
               std::any_of(skipped.begin(), skipped.end(),
                           [&](const auto* s) { return s->name == name; });
    };
    for (const InterfaceAddress& entry : addresses) {
        if (!qualifies(entry) || seen(entry.name)) {
            continue;
        }
        if (IsContainerOrVmLink(entry.name)) {
            skipped.push_back(&entry);
            continue;
        }
        list.adapters.push_back({entry.name, entry.index, byMetric.networkOf(entry)});
    }
    std::stable_sort(list.adapters.begin(), list.adapters.end(),
                     [](const auto& a, const auto& b) { return a.index < b.index; });
    std::stable_sort(skipped.begin(), skipped.end(),
                     [](const auto* a, const auto* b) { return a->index < b->index; });
    for (const InterfaceAddress* entry : skipped) {
        list.skipped.push_back(entry->name);
    }
    return list;
}

std::vector<DefaultRoute> ParseDefaultRoutes(const QByteArray& routeTable) {
    // Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT
    std::vector<DefaultRoute> routes;
    const QList<QByteArray> lines = routeTable.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> columns = lines[i].simplified().split(' ');
        if (columns.size() < 8) {
            continue;
        }
        bool ok = true;
        const quint32 destination = columns[1].toUInt(&ok, 16);
        bool maskOk = true;
        const quint32 mask = columns[7].toUInt(&maskOk, 16);
        bool flagsOk = true;
        const unsigned flags = columns[3].toUInt(&flagsOk, 16);
        bool metricOk = true;
        const unsigned metric = columns[6].toUInt(&metricOk, 10);
        // The table lists only routes in use, so RTF_UP is always set; a reject route (an
        // "unreachable default") carries nothing and names no interface of ours.
        if (!ok || !maskOk || !flagsOk || !metricOk || destination != 0 || mask != 0 ||
            (flags & RTF_REJECT) != 0) {
            continue;
        }
        // The table prints an address as the hexadecimal of the 32-bit value in memory order.
        bool gatewayOk = true;
        const quint32 gateway = columns[2].toUInt(&gatewayOk, 16);
        if (!gatewayOk) {
            continue;
        }
        routes.push_back({columns[0],
                          (flags & RTF_GATEWAY) != 0
                              ? std::optional(Ipv4Address::fromNetworkOrder(gateway))
                              : std::nullopt,
                          metric});
    }
    return routes;
}

} // namespace tarvex
