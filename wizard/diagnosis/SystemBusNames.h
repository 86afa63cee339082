#pragma once

#include <QString>
#include <chrono>

namespace tarvex {

// How long the one question to the system bus may take, connecting included.
inline constexpr std::chrono::milliseconds kBusDeadline{500};

// Whether a program holds the well-known name on the system bus. Connects to the bus
// (DBUS_SYSTEM_BUS_ADDRESS, else the system's socket), asks the bus daemon once and gives up at
// the deadline, whatever part is still waiting: no bus, a bus that never answers, or no answer in
// time counts as no. Nothing is kept open between calls.
[[nodiscard]] bool SystemBusHasNameWithin(const QString& name, std::chrono::milliseconds deadline);

// The same within kBusDeadline: the check the diagnosis is handed.
[[nodiscard]] bool SystemBusHasName(const QString& name);

} // namespace tarvex
