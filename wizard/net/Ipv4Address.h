#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <compare>
#include <optional>

namespace tarvex {

// An IPv4 address read from a dotted quad by one strict rule, for every text that may come from
// the network or the system: exactly four decimal parts of 0 to 255, no leading zeros (but "0"
// itself), no sign, no space, nothing before or after. The short and octal forms that inet_addr
// accepts ("127.1", "0x7f.0.0.1", "10.0.0.011") are refused, so that what is probed, written or
// opened is exactly the address printed back by text().
class Ipv4Address {
public:
    constexpr Ipv4Address() = default;
    constexpr explicit Ipv4Address(quint32 hostOrder) : value_(hostOrder) {}

    [[nodiscard]] static std::optional<Ipv4Address> parse(QByteArrayView text);
    [[nodiscard]] static std::optional<Ipv4Address> parse(QStringView text);

    [[nodiscard]] constexpr quint32 toHostOrder() const { return value_; }
    // For in_addr.s_addr and sockaddr_in.
    [[nodiscard]] quint32 toNetworkOrder() const;
    [[nodiscard]] static Ipv4Address fromNetworkOrder(quint32 networkOrder);
    // The dotted quad, e.g. "192.168.0.5".
    [[nodiscard]] QString text() const;

    friend constexpr auto operator<=>(Ipv4Address, Ipv4Address) = default;

private:
    quint32 value_ = 0;
};

// Whether a mask is a contiguous run of ones followed by zeros (0.0.0.0 to 255.255.255.255).
[[nodiscard]] bool IsContiguousMask(Ipv4Address mask);

// Whether an address can be a host on a LAN: not in 0.0.0.0/8 or 127.0.0.0/8, not multicast or
// above (224.0.0.0 and up), and, on the PC's subnet (a contiguous mask shorter than /31), neither
// its network nor its broadcast address.
[[nodiscard]] bool IsUnicastHostAddress(Ipv4Address address, Ipv4Address pcAddress,
                                        Ipv4Address pcMask);

} // namespace tarvex
