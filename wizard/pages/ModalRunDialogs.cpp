#include "pages/ModalRunDialogs.h"

#include "pages/CredentialsPage.h"
#include "pages/DeviceListPage.h"
#include "pages/DialogOverlay.h"
#include "pages/FrameCentring.h"
#include "pages/OpenModal.h"
#include "pages/PageDesign.h"

namespace tarvex {
namespace {

// Loads the page, shows it centred over everything (under Wayland, inside the wizard's window) and
// returns; `done` gets the dialog's result once it has closed. The page goes with its owner if the
// owner is deleted meanwhile, and `done` is then never called.
void openModal(ModalPage* page, std::function<void(int result)> done) {
    page->pageLoaded();
    if (DialogOverlay::wanted()) {
        DialogOverlay::cover(*page);
    } else {
        design::centreOnScreen(page);
        FrameCentring::once(*page);
    }
    page->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(page, &QDialog::finished, page, std::move(done));
    openApplicationModal(*page);
}

} // namespace

ModalRunDialogs::ModalRunDialogs(QWidget* owner, PageFlow& flow) : owner_(owner), flow_(flow) {}

void ModalRunDialogs::showDeviceList(const QList<ApplianceRow>& rows, bool nameAdapters,
                                     qsizetype unlisted,
                                     std::function<void(std::optional<qsizetype> chosen)> done) {
    if (owner_.isNull()) {
        return;
    }
    auto* page = new DeviceListPage(flow_, rows, owner_, nameAdapters, unlisted);
    openModal(page, [page, done = std::move(done)](int /*result*/) { done(page->chosenRow()); });
}

void ModalRunDialogs::showCredentials(
    std::function<void(std::optional<Credentials> credentials)> done) {
    if (owner_.isNull()) {
        return;
    }
    auto* page = new CredentialsPage(flow_, owner_);
    openModal(page, [page, done = std::move(done)](int /*result*/) { done(page->credentials()); });
}

} // namespace tarvex
