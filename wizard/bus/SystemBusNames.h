#pragma once

#include <QString>

namespace tarvex {

// Whether a program holds the well-known name on the system bus. Asks the bus daemon once and
// waits at most half a second; no bus, or no answer in time, counts as no.
[[nodiscard]] bool SystemBusHasName(const QString& name);

} // namespace tarvex
