#include "pages/ModalRunDialogs.h"

#include "pages/CredentialsPage.h"
#include "pages/DeviceListPage.h"
#include "pages/OpenModal.h"
#include "pages/PageDesign.h"

namespace tarvex {
namespace {

// Loads the page, shows it centred over everything and returns; `done` gets the dialog's
// result once it has closed. The page goes with its owner if the owner is deleted meanwhile,
// and `done` is then never called.
void openModal(ModalPage* page, std::function<void(int result)> done) {
    page->pageLoaded();
    design::centreOnScreen(page);
    page->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(page, &QDialog::finished, page, std::move(done));
    openApplicationModal(*page);
}

} // namespace

ModalRunDialogs::ModalRunDialogs(QWidget* owner, PageFlow& flow) : owner_(owner), flow_(flow) {}

void ModalRunDialogs::showDeviceList(const QList<ApplianceRow>& rows, bool nameAdapters,
                                     std::function<void()> done) {
    if (owner_.isNull()) {
        return;
    }
    // The page reads the records from the device table; the rest of each row comes along.
    QList<Reachability> reachability;
    QStringList adapterNames;
    for (const ApplianceRow& row : rows) {
        reachability.append(row.reachable() ? Reachability::Yes : Reachability::No);
        if (nameAdapters) {
            adapterNames.append(row.adapterName);
        }
    }
    openModal(new DeviceListPage(flow_, reachability, owner_, adapterNames),
              [done = std::move(done)](int /*result*/) { done(); });
}

void ModalRunDialogs::showCredentials(std::function<void(CredentialsOutcome outcome)> done) {
    if (owner_.isNull()) {
        return;
    }
    openModal(new CredentialsPage(flow_, owner_), [done = std::move(done)](int result) {
        done(result == QDialog::Accepted ? CredentialsOutcome::Closed
                                         : CredentialsOutcome::Abandoned);
    });
}

} // namespace tarvex
