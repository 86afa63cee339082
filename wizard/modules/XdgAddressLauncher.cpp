#include "modules/XdgAddressLauncher.h"

#include "modules/ApplianceUrl.h"
#include "modules/BoundedProcess.h"

#include <utility>

namespace tarvex {

struct XdgAddressLauncher::Opening {
    Ipv4Address address;
    QStringList schemes; // still to open, in order
    OpenReport report;
    Reported reported;
};

XdgAddressLauncher::XdgAddressLauncher(std::chrono::milliseconds bound)
    : bound_(bound), owner_(std::make_unique<QObject>()) {}

XdgAddressLauncher::~XdgAddressLauncher() = default;

void XdgAddressLauncher::OpenDevice(Ipv4Address address, Reported reported) {
    auto opening = std::make_shared<Opening>();
    opening->address = address;
    opening->schemes = {QStringLiteral("smb"), QStringLiteral("http")};
    opening->reported = std::move(reported);
    openNext(opening);
}

void XdgAddressLauncher::openNext(const std::shared_ptr<Opening>& opening) {
    const QString scheme = opening->schemes.takeFirst();
    auto* opener = new BoundedProcess(bound_, AtLimit::LeaveRunning, owner_.get());
    // The URLs begin with their scheme, so the handler never reads them as options.
    opener->start(QStringLiteral("xdg-open"), {ApplianceUrl(scheme, opening->address)},
                  [this, opener, opening, scheme](const ProcessEnd& end) {
                      opener->deleteLater();
                      if (end.kind == ProcessEnd::Kind::NotFound) {
                          opening->report.openerMissing = true;
                          opening->schemes.clear(); // the second would not be found either
                      } else if (!end.succeeded() && end.kind != ProcessEnd::Kind::StillRunning) {
                          opening->report.failedSchemes.append(scheme);
                      }
                      if (!opening->schemes.isEmpty()) {
                          openNext(opening);
                          return;
                      }
                      if (opening->reported) {
                          opening->reported(opening->report);
                      }
                  });
}

} // namespace tarvex
