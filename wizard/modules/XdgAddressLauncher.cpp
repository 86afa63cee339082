#include "modules/XdgAddressLauncher.h"

#include "modules/ApplianceUrl.h"

#include <QProcess>
#include <utility>

namespace tarvex {

XdgAddressLauncher::XdgAddressLauncher(DetachedStarter starter) : starter_(std::move(starter)) {
    if (!starter_) {
        starter_ = [](const QString& program, const QStringList& arguments) {
            return QProcess::startDetached(program, arguments);
        };
    }
}

void XdgAddressLauncher::OpenDevice(Ipv4Address address) {
    // The URLs begin with their scheme, so the handler never reads them as options.
    for (const QString& scheme : {QStringLiteral("smb"), QStringLiteral("http")}) {
        (void)starter_(QStringLiteral("xdg-open"), {ApplianceUrl(scheme, address)});
    }
}

} // namespace tarvex
