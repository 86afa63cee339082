#pragma once

#include "net/Ipv4Address.h"

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

} // namespace tarvex::testing
