#pragma once

#include "net/AdapterChoice.h"

#include <vector>

namespace tarvex {

// Every IPv4 address of every interface of this network namespace, in the system's order.
[[nodiscard]] std::vector<InterfaceAddress> ReadInterfaceAddresses();

// The IPv4 default routes of this network namespace; none when the table cannot be read.
[[nodiscard]] std::vector<DefaultRoute> ReadDefaultRoutes();

// The PC's adapters, read afresh.
[[nodiscard]] PcAdapters ReadPcAdapters();

} // namespace tarvex
