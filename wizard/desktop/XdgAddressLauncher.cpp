#include "desktop/XdgAddressLauncher.h"

#include "appliance/ApplianceUrl.h"
#include "process/BoundedProcess.h"

#include <utility>

namespace tarvex {

struct XdgAddressLauncher::Opening {
    QStringList schemes{QStringLiteral("smb"), QStringLiteral("http")}; // in the order opened
    QList<std::optional<OpenFailure>> failures =
        QList<std::optional<OpenFailure>>(schemes.size(), std::nullopt);
    qsizetype waiting = schemes.size();
    bool openerMissing = false;
    Reported reported;

    // One address is settled; the report follows the last.
    void settled() {
        if (--waiting > 0 || !reported) {
            return;
        }
        OpenReport report;
        report.openerMissing = openerMissing;
        for (const std::optional<OpenFailure>& failure : failures) {
            if (failure) {
                report.failures.append(*failure);
            }
        }
        reported(report);
    }
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
                  [this, opener, opening, index](const ProcessEnd& end) {
                      if (end.kind != ProcessEnd::Kind::StillRunning) {
                          opener->deleteLater();
                      }
                      if (end.kind == ProcessEnd::Kind::NotFound) {
                          opening->openerMissing = true;
                      } else if (!end.succeeded() && end.kind != ProcessEnd::Kind::StillRunning) {
                          OpenFailure failure;
                          failure.scheme = opening->schemes[index];
                          if (end.kind == ProcessEnd::Kind::Exited) {
                              failure.exitStatus = end.exitCode;
                          }
                          opening->failures[index] = failure;
                          askForHandler(index, opening);
                          return;
                      }
                      opening->settled();
                  });
}

void XdgAddressLauncher::askForHandler(qsizetype index, const std::shared_ptr<Opening>& opening) {
    // The opener fails alike whether no application is registered for the scheme or the one
    // registered failed; the registration tells them apart. A query that cannot answer leaves
    // the opener's failure as it is.
    auto* query = new BoundedProcess(bound_, AtLimit::EndGroup, owner_.get());
    query->keepOutput();
    query->start(QStringLiteral("xdg-mime"),
                 {QStringLiteral("query"), QStringLiteral("default"),
                  QStringLiteral("x-scheme-handler/") + opening->schemes[index]},
                 [query, opening, index](const ProcessEnd& end) {
                     query->deleteLater();
                     if (end.succeeded() && end.output.trimmed().isEmpty()) {
                         opening->failures[index]->noHandler = true;
                     }
                     opening->settled();
                 });
}

} // namespace tarvex
