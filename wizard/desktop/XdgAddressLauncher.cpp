#include "desktop/XdgAddressLauncher.h"

#include "appliance/ApplianceUrl.h"
#include "process/BoundedProcess.h"

#include <utility>

namespace tarvex {

struct XdgAddressLauncher::Opening {
    QStringList schemes{QStringLiteral("smb"), QStringLiteral("http")}; // in the order opened
    QList<bool> failed = QList<bool>(schemes.size(), false);
    qsizetype waiting = schemes.size();
    bool openerMissing = false;
    Reported reported;
};

XdgAddressLauncher::XdgAddressLauncher(std::chrono::milliseconds bound)
    : bound_(bound), owner_(std::make_unique<QObject>()) {}

XdgAddressLauncher::~XdgAddressLauncher() = default;

void XdgAddressLauncher::OpenDevice(Ipv4Address address, Reported reported) {
    auto opening = std::make_shared<Opening>();
    opening->reported = std::move(reported);
    for (qsizetype index = 0; index < opening->schemes.size(); ++index) {
        open(index, address, opening);
    }
}

void XdgAddressLauncher::open(qsizetype index, Ipv4Address address,
                              const std::shared_ptr<Opening>& opening) {
    auto* opener = new BoundedProcess(bound_, AtLimit::LeaveRunning, owner_.get());
    // Kept until its program is reaped, also past the report: never a zombie while we run.
    QObject::connect(opener, &BoundedProcess::reaped, opener, &QObject::deleteLater);
    // The URLs begin with their scheme, so the handler never reads them as options.
    opener->start(QStringLiteral("xdg-open"), {ApplianceUrl(opening->schemes[index], address)},
                  [opener, opening, index](const ProcessEnd& end) {
                      if (end.kind == ProcessEnd::Kind::NotFound) {
                          opening->openerMissing = true;
                      } else if (!end.succeeded() && end.kind != ProcessEnd::Kind::StillRunning) {
                          opening->failed[index] = true;
                      }
                      if (end.kind != ProcessEnd::Kind::StillRunning) {
                          opener->deleteLater();
                      }
                      if (--opening->waiting > 0 || !opening->reported) {
                          return;
                      }
                      OpenReport report;
                      report.openerMissing = opening->openerMissing;
                      for (qsizetype i = 0; i < opening->schemes.size(); ++i) {
                          if (opening->failed[i]) {
                              report.failedSchemes.append(opening->schemes[i]);
                          }
                      }
                      opening->reported(report);
                  });
}

} // namespace tarvex
