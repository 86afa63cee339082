#pragma once

#include "net/AdapterChoice.h"
#include "net/Ipv4Address.h"
#include "net/RequestBroadcaster.h"

#include <QByteArray>
#include <QList>
#include <optional>

namespace tarvex {

// The addresses a discovery request leaves from: each adapter's when there are several, else
// the PC's alone (none: the system chooses). With one adapter (or none) the run is the
// single-adapter run it always was.
[[nodiscard]] QList<std::optional<Ipv4Address>> RequestSources(const PcAdapters& adapters);

// Sends the request from each source in turn; the first failure, once all were tried.
[[nodiscard]] std::optional<BroadcastFailure>
BroadcastFromEach(RequestBroadcaster& broadcaster, const QByteArray& request,
                  const QList<std::optional<Ipv4Address>>& sources);

} // namespace tarvex
