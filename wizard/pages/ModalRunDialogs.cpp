#include "pages/ModalRunDialogs.h"

#include "pages/PageDesign.h"
#include "pages/frmConfigSimple.h"
#include "pages/frmSelect.h"

namespace tarvex {
namespace {

// Loads the page, shows it centred and waits until it has closed. The page goes with its
// owner if the owner is deleted meanwhile; exec() copes with that and reports Rejected.
int runModal(QPointer<ModalPage> page) {
    page->Form_Load();
    design::centreOnScreen(page);
    const int result = page->exec();
    delete page.data();
    return result;
}

} // namespace

ModalRunDialogs::ModalRunDialogs(QWidget* owner, PageFlow& flow) : owner_(owner), flow_(flow) {}

void ModalRunDialogs::showDeviceList(const QStringList& reachableCells,
                                     const QStringList& adapterNames) {
    if (owner_.isNull()) {
        return;
    }
    runModal(new frmSelect(flow_, reachableCells, owner_, adapterNames));
}

RunDialogs::CredentialsOutcome ModalRunDialogs::showCredentials() {
    if (owner_.isNull()) {
        return CredentialsOutcome::Abandoned;
    }
    const int result = runModal(new frmConfigSimple(flow_, owner_));
    return result == QDialog::Accepted ? CredentialsOutcome::Closed : CredentialsOutcome::Abandoned;
}

} // namespace tarvex
