#pragma once

#include <QString>

namespace tarvex {

// scheme + "://" + the address trimmed of spaces. An address is meant to be a dotted quad, but it
// comes from the network: anything but printable ASCII is percent-encoded, so that the result is
// one plain ASCII word that a desktop entry or a command line holds as it is.
[[nodiscard]] QString ApplianceUrl(const QString& scheme, const QString& address);

} // namespace tarvex
