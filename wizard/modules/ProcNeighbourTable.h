#pragma once

#include "modules/NeighbourTable.h"

#include <QString>
#include <QStringList>
#include <utility>

namespace tarvex {

// The addresses of the kernel's ARP table (the text of /proc/net/arp) that have a learned
// hardware address on `interfaceName`: complete or permanent entries. The kernel leaves out
// entries without ARP, so "complete" stands for reachable, stale, delay and probe.
[[nodiscard]] QStringList ParseArpTable(const QString& table, const QString& interfaceName);

// Reads the kernel's neighbour table through /proc/net/arp, which needs no privilege.
class ProcNeighbourTable final : public NeighbourTable {
public:
    explicit ProcNeighbourTable(QString tablePath = QStringLiteral("/proc/net/arp"))
        : tablePath_(std::move(tablePath)) {}

    [[nodiscard]] bool hasHardwareAddress(const QString& address,
                                          const QString& adapterAddress) override;

private:
    QString tablePath_;
};

// The name of the interface that carries the IPv4 address, or the empty text.
[[nodiscard]] QString InterfaceOfAddress(const QString& adapterAddress);

} // namespace tarvex
