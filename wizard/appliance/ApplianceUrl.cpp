#include "appliance/ApplianceUrl.h"

namespace tarvex {

QString ApplianceUrl(const QString& scheme, Ipv4Address address) {
    return scheme + QStringLiteral("://") + address.text();
}

} // namespace tarvex
