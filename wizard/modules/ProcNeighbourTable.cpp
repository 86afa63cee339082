#include "modules/ProcNeighbourTable.h"

#include "modules/Ipv4Address.h"

#include <QFile>
#include <ifaddrs.h>
#include <net/if_arp.h>
#include <netinet/in.h>

namespace tarvex {
namespace {

bool ToIpv4(const QString& text, in_addr* address) {
    const std::optional<Ipv4Address> parsed = Ipv4Address::parse(QStringView(text));
    if (parsed) {
        address->s_addr = parsed->toNetworkOrder();
    }
    return parsed.has_value();
}

} // namespace

QStringList ParseArpTable(const QString& table, const QString& interfaceName) {
    // Columns: IP address, HW type, Flags, HW address, Mask, Device; the first line is the
    // heading.
    QStringList addresses;
    const QStringList lines = table.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList columns = lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (columns.size() < 6 || columns[5] != interfaceName) {
            continue;
        }
        bool ok = false;
        const uint flags = columns[2].toUInt(&ok, 16);
        if (ok && (flags & (ATF_COM | ATF_PERM)) != 0) {
            addresses.append(columns[0]);
        }
    }
    return addresses;
}

QString InterfaceOfAddress(const QString& adapterAddress) {
    in_addr wanted{};
    if (!ToIpv4(adapterAddress, &wanted)) {
        return {};
    }
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return {};
    }
    QString name;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr != nullptr && entry->ifa_addr->sa_family == AF_INET &&
            reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr ==
                wanted.s_addr) {
            name = QString::fromLocal8Bit(entry->ifa_name);
            break;
        }
    }
    freeifaddrs(list);
    return name;
}

bool ProcNeighbourTable::hasHardwareAddress(const QString& address, const QString& adapterAddress) {
    in_addr wanted{};
    if (!ToIpv4(address, &wanted)) {
        return false;
    }
    const QString interfaceName = InterfaceOfAddress(adapterAddress);
    if (interfaceName.isEmpty()) {
        return false;
    }
    QFile file(tablePath_);
    // The file reports a size of 0, so it is read to its end rather than by size.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    const QString table = QString::fromLatin1(file.readAll());
    for (const QString& entry : ParseArpTable(table, interfaceName)) {
        in_addr known{};
        if (ToIpv4(entry, &known) && known.s_addr == wanted.s_addr) {
            return true;
        }
    }
    return false;
}

} // namespace tarvex
