#pragma once

#include <QString>

namespace quirra {

// The two web addresses of the menu. This is the one place to change their hosts.
inline constexpr auto kPdfReaderHost = "www.pdfreader.example";
inline constexpr auto kPdfReaderPath = "/products/acrobat/readstep2.html";
inline constexpr auto kVendorHost = "www.dravik.example";

// The PDF reader maker's download page.
[[nodiscard]] inline QString pdfReaderDownloadAddress() {
    return QStringLiteral("http://") + QLatin1String(kPdfReaderHost) +
           QLatin1String(kPdfReaderPath);
}

// The vendor's web site.
[[nodiscard]] inline QString vendorAddress() {
    return QStringLiteral("http://") + QLatin1String(kVendorHost) + QLatin1Char('/');
}

} // namespace quirra
