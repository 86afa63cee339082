#pragma once

#include <QString>

namespace tarvex {

// The kernel's neighbour table: which addresses of the PC's own subnet it has learned a
// hardware address for. An echo to such an address makes the kernel resolve it first, so a
// host that drops echoes still shows up here.
class NeighbourTable {
public:
    virtual ~NeighbourTable() = default;
    // Whether the table holds a learned hardware address (reachable, stale, delay, probe or
    // permanent) for `address` on the interface that carries `adapterAddress`.
    [[nodiscard]] virtual bool hasHardwareAddress(const QString& address,
                                                  const QString& adapterAddress) = 0;
};

} // namespace tarvex
