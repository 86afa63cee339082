#include "net/Ipv4Address.h"

#include <arpa/inet.h>

namespace tarvex {
namespace {

int Code(char c) {
    return static_cast<unsigned char>(c);
}
int Code(QChar c) {
    return c.unicode();
}

bool IsDigit(int code) {
    return code >= '0' && code <= '9';
}

template <typename Text> std::optional<Ipv4Address> ParseDotted(const Text& text) {
    quint32 value = 0;
    int parts = 0;
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (parts < 4) {
        const qsizetype start = i;
        quint32 part = 0;
        while (i < size && i - start < 3 && IsDigit(Code(text[i]))) {
            part = part * 10 + static_cast<quint32>(Code(text[i]) - '0');
            ++i;
        }
        const qsizetype digits = i - start;
        if (digits == 0 || part > 255 || (digits > 1 && Code(text[start]) == '0')) {
            return std::nullopt;
        }
        value = (value << 8) | part;
        ++parts;
        if (parts < 4) {
            if (i >= size || Code(text[i]) != '.') {
                return std::nullopt;
            }
            ++i;
        }
    }
    if (i != size) {
        return std::nullopt;
    }
    return Ipv4Address(value);
}

} // namespace

std::optional<Ipv4Address> Ipv4Address::parse(QByteArrayView text) {
    return ParseDotted(text);
}

std::optional<Ipv4Address> Ipv4Address::parse(QStringView text) {
    return ParseDotted(text);
}

quint32 Ipv4Address::toNetworkOrder() const {
    return htonl(value_);
}

Ipv4Address Ipv4Address::fromNetworkOrder(quint32 networkOrder) {
    return Ipv4Address(ntohl(networkOrder));
}

QString Ipv4Address::text() const {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(value_ >> 24)
        .arg((value_ >> 16) & 0xff)
        .arg((value_ >> 8) & 0xff)
        .arg(value_ & 0xff);
}

bool IsContiguousMask(Ipv4Address mask) {
    const quint32 hostBits = ~mask.toHostOrder();
    return (hostBits & (hostBits + 1)) == 0;
}

bool IsUnicastHostAddress(Ipv4Address address, Ipv4Address pcAddress, Ipv4Address pcMask) {
    const quint32 value = address.toHostOrder();
    const quint32 firstPart = value >> 24;
    if (firstPart == 0 || firstPart == 127 || firstPart >= 224) {
        return false;
    }
    const quint32 mask = pcMask.toHostOrder();
    // /31 and /32 have no network or broadcast address of their own.
    if (!IsContiguousMask(pcMask) || (~mask) < 3) {
        return true;
    }
    if ((value & mask) != (pcAddress.toHostOrder() & mask)) {
        return true;
    }
    const quint32 host = value & ~mask;
    return host != 0 && host != ~mask;
}

} // namespace tarvex
