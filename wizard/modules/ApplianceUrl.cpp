#include "modules/ApplianceUrl.h"

namespace tarvex {

QString ApplianceUrl(const QString& scheme, const QString& address) {
    QString url = scheme + QStringLiteral("://");
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char byte : address.trimmed().toUtf8()) {
        const auto code = static_cast<unsigned char>(byte);
        if (code > 0x20 && code < 0x7f) {
            url += QLatin1Char(byte);
        } else {
            url += QLatin1Char('%');
            url += QLatin1Char(kHex[code >> 4]);
            url += QLatin1Char(kHex[code & 0xf]);
        }
    }
    return url;
}

} // namespace tarvex
