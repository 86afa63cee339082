#pragma once

#include "net/Ipv4Address.h"
#include "net/PcNetwork.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace tarvex {

// One IPv4 address of one network interface, as the system lists them.
struct InterfaceAddress {
    QByteArray name;
    unsigned index = 0; // the interface index
    bool loopback = false;
    Ipv4Address address;
    Ipv4Address mask;
    bool up = true;
    bool broadcast = true;     // broadcast-capable: a LAN, where the appliance can be
    bool pointToPoint = false; // a tunnel or dial-up link: its mask says nothing of a subnet

    friend bool operator==(const InterfaceAddress&, const InterfaceAddress&) = default;
};

// One IPv4 default route.
struct DefaultRoute {
    QByteArray interfaceName;
    std::optional<Ipv4Address> gateway; // none for a route straight onto the link
    unsigned metric = 0;

    friend bool operator==(const DefaultRoute&, const DefaultRoute&) = default;
};

// Chooses the PC's adapter among the interfaces that qualify: up, broadcast-capable, neither
// loopback nor point-to-point, with an IPv4 address. A VPN's default route must not win: its
// host mask and missing gateway would be handed to the appliance, and the limited broadcast
// does not cross it. The adapter is the qualifying interface of the default route with the
// lowest metric, else the qualifying interface of lowest index. Its first IPv4 address counts,
// with that address's mask; the gateway is that of a default route on it, empty when none.
[[nodiscard]] PcNetwork ChooseAdapter(const std::vector<InterfaceAddress>& addresses,
                                      const std::vector<DefaultRoute>& routes);

// One adapter a discovery can go out of: the first IPv4 address of a qualifying interface.
struct QualifyingAdapter {
    QByteArray name;
    unsigned index = 0;
    PcNetwork network; // the gateway: of the interface's lowest-metric default route

    friend bool operator==(const QualifyingAdapter&, const QualifyingAdapter&) = default;
};

// Every adapter that qualifies as ChooseAdapter's do, and the ones passed over as container or
// virtual-machine bridges.
struct AdapterList {
    std::vector<QualifyingAdapter> adapters; // by interface index
    std::vector<QByteArray> skipped;         // names, by interface index

    friend bool operator==(const AdapterList&, const AdapterList&) = default;
};

// The PC's adapters as one reading of the system gives them: the adapter a run with one adapter
// uses (ChooseAdapter's), and every adapter a discovery goes out of.
struct PcAdapters {
    PcNetwork chosen;
    AdapterList list;

    // Several adapters: each is asked through, and each row names its own. With one (or none)
    // the run is the single-adapter run: the chosen adapter's network for everything.
    [[nodiscard]] bool several() const { return list.adapters.size() > 1; }
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
