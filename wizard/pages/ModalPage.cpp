#include "pages/ModalPage.h"

#include "artwork/Artwork.h"
#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/Twips.h"
#include "texts/TextCatalog.h"

namespace tarvex {

ModalPage::ModalPage(PageFlow& flow, QWidget* owner, const QString& name, const QString& caption,
                     QSize clientTwips)
    : QDialog(owner), flow_(flow) {
    setObjectName(name);
    setWindowTitle(caption);
    setWindowIcon(programIcon());
    // Title and close box only: no help button, and nothing grows with the window.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(twipsToPixels(clientTwips.width()), twipsToPixels(clientTwips.height()));
    setModal(true);
}

PageSettings& ModalPage::settings() const {
    return flow_.settings();
}

Dialogs& ModalPage::dialogs() const {
    return flow_.dialogs();
}

QString ModalPage::catalogText(int n) const {
    return CatalogText(settings().TextBase, n);
}

void ModalPage::setDefaultButton(QPushButton* button) {
    keys_.setDefaultButton(button);
}

void ModalPage::setCancelButton(QPushButton* button) {
    keys_.setCancelButton(button);
}

void ModalPage::paintBackground(ColourNumber colour) {
    design::paintWindow(this, colour);
}

void ModalPage::keyPressEvent(QKeyEvent* event) {
    if (!keys_.keyPress(event)) {
        QDialog::keyPressEvent(event);
    }
}

} // namespace tarvex
