#include "net/AdapterReader.h"

#include "net/Ipv4Address.h"

#include <QFile>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace tarvex {

namespace {

// 0.0.0.0 for a mask the system does not give.
Ipv4Address addressOf(const sockaddr* address) {
    if (address == nullptr || address->sa_family != AF_INET) {
        return {};
    }
    return Ipv4Address::fromNetworkOrder(
        reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
}

} // namespace

std::vector<InterfaceAddress> ReadInterfaceAddresses() {
    std::vector<InterfaceAddress> result;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return result;
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        const unsigned flags = entry->ifa_flags;
        result.push_back({QByteArray(entry->ifa_name), if_nametoindex(entry->ifa_name),
                          (flags & IFF_LOOPBACK) != 0, addressOf(entry->ifa_addr),
                          addressOf(entry->ifa_netmask), (flags & IFF_UP) != 0,
                          (flags & IFF_BROADCAST) != 0, (flags & IFF_POINTOPOINT) != 0});
    }
    freeifaddrs(list);
    return result;
}

std::vector<DefaultRoute> ReadDefaultRoutes() {
    QFile table(QStringLiteral("/proc/net/route"));
    if (!table.open(QIODevice::ReadOnly)) {
        return {};
    }
    // A proc file reports no size; read until it ends.
    return ParseDefaultRoutes(table.readAll());
}

PcAdapters ReadPcAdapters() {
    const std::vector<InterfaceAddress> addresses = ReadInterfaceAddresses();
    const std::vector<DefaultRoute> routes = ReadDefaultRoutes();
    return {ChooseAdapter(addresses, routes), ListAdapters(addresses, routes)};
}

} // namespace tarvex
