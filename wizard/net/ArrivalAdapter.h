#pragma once

#include "net/AdapterChoice.h"

#include <QByteArray>
#include <vector>

namespace tarvex {

// The adapter among those asked through whose interface index a datagram came in by; none
// when it came by another interface, or the system did not say.
[[nodiscard]] const QualifyingAdapter*
AdapterByIndex(const std::vector<QualifyingAdapter>& adapters, unsigned interfaceIndex);

// The name of the interface a datagram came in by: the adapter's, else the system's name for
// the index; empty when neither knows it.
[[nodiscard]] QByteArray ArrivalAdapterName(const std::vector<QualifyingAdapter>& adapters,
                                            unsigned interfaceIndex);

} // namespace tarvex
