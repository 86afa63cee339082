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

// Reads the IPv4 default routes out of the text of /proc/net/route.
[[nodiscard]] std::vector<DefaultRoute> ParseDefaultRoutes(const QByteArray& routeTable);

} // namespace tarvex
