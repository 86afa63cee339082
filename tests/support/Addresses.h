#pragma once

#include "net/Ipv4Address.h"
#include "net/PcNetwork.h"

#include <QList>
#include <QStringList>
#include <cstdlib>

namespace tarvex::testing {

// The addresses of dotted quads a test writes down; a text that is none is the test's mistake.
inline QList<Ipv4Address> Addresses(const QStringList& texts) {
    QList<Ipv4Address> addresses;
    for (const QString& text : texts) {
        const std::optional<Ipv4Address> address = Ipv4Address::parse(QStringView(text));
        if (!address) {
            std::abort();
        }
        addresses.append(*address);
    }
    return addresses;
}

inline Ipv4Address Address(const QString& text) {
    return Addresses({text}).front();
}

// A PC's network as the kernel would give it; an empty text is a value the kernel did not give.
inline PcNetwork Network(const QString& address, const QString& mask, const QString& gateway = {}) {
    PcNetwork network;
    if (!address.isEmpty()) {
        network.address = Address(address);
    }
    network.mask = mask.isEmpty() ? Ipv4Address() : Address(mask);
    if (!gateway.isEmpty()) {
        network.gateway = Address(gateway);
    }
    return network;
}

} // namespace tarvex::testing
