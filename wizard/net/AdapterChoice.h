#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace tarvex {

// One IPv4 address of one network interface, as the system lists them.
struct InterfaceAddress {
    QByteArray name;
    unsigned index = 0; // the interface index
    bool loopback = false;
    QString address; // dotted quad
    QString mask;    // dotted quad
    bool up = true;
    bool broadcast = true;     // broadcast-capable: a LAN, where the appliance can be
    bool pointToPoint = false; // a tunnel or dial-up link: its mask says nothing of a subnet

    friend bool operator==(const InterfaceAddress&, const InterfaceAddress&) = default;
};

// One IPv4 default route.
struct DefaultRoute {
    QByteArray interfaceName;
    QString gateway; // dotted quad; empty for a route straight onto the link
    unsigned metric = 0;

    friend bool operator==(const DefaultRoute&, const DefaultRoute&) = default;
};

// The PC's address, mask and gateway as dotted-quad texts; all empty when there is no adapter.
struct AdapterFacts {
    QString address;
    QString mask;
    QString gateway;

    friend bool operator==(const AdapterFacts&, const AdapterFacts&) = default;
};

// Chooses the PC's adapter among the interfaces that qualify: up, broadcast-capable, neither
// loopback nor point-to-point, with an IPv4 address. A VPN's default route must not win: its
// host mask and missing gateway would be handed to the appliance, and the limited broadcast
// does not cross it. The adapter is the qualifying interface of the default route with the
// lowest metric, else the qualifying interface of lowest index. Its first IPv4 address counts,
// with that address's mask; the gateway is that of a default route on it, empty when none.
[[nodiscard]] AdapterFacts ChooseAdapter(const std::vector<InterfaceAddress>& addresses,
                                         const std::vector<DefaultRoute>& routes);

// One adapter a discovery can go out of: the first IPv4 address of a qualifying interface.
struct QualifyingAdapter {
    QByteArray name;
    unsigned index = 0;
    QString address; // dotted quad
    QString mask;    // dotted quad
    QString gateway; // of the interface's lowest-metric default route; empty when none

    friend bool operator==(const QualifyingAdapter&, const QualifyingAdapter&) = default;
};

// Every adapter that qualifies as ChooseAdapter's do, and the ones passed over as container or
// virtual-machine bridges.
struct AdapterList {
    std::vector<QualifyingAdapter> adapters; // by interface index
    std::vector<QByteArray> skipped;         // names, by interface index

    friend bool operator==(const AdapterList&, const AdapterList&) = default;
};

// Whether the name is that of a bridge or link a container or virtual-machine host makes
// (docker0, br-1a2b, virbr0, veth12ab, ...): appliances are not behind them, and a broadcast
// into them only reaches guests.
[[nodiscard]] bool IsContainerOrVmLink(const QByteArray& name);

// Lists every qualifying adapter once, with its first IPv4 address.
[[nodiscard]] AdapterList ListAdapters(const std::vector<InterfaceAddress>& addresses,
                                       const std::vector<DefaultRoute>& routes);

// Reads the IPv4 default routes out of the text of /proc/net/route.
[[nodiscard]] std::vector<DefaultRoute> ParseDefaultRoutes(const QByteArray& routeTable);

} // namespace tarvex
