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

// Chooses the PC's adapter: the interface of the default route with the lowest metric, else
// the lowest-index interface with an IPv4 address. Loopback is never chosen: the system lists
// it first, and 127.0.0.1 is no address an appliance could be given a neighbour of. The first
// IPv4 address of the chosen interface counts; the gateway is that of a default route on it.
[[nodiscard]] AdapterFacts ChooseAdapter(const std::vector<InterfaceAddress>& addresses,
                                         const std::vector<DefaultRoute>& routes);

// Reads the IPv4 default routes out of the text of /proc/net/route.
[[nodiscard]] std::vector<DefaultRoute> ParseDefaultRoutes(const QByteArray& routeTable);

} // namespace tarvex
