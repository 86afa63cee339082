#include "pages/ModalPage.h"

#include "pages/Twips.h"

namespace tarvex {

// Title and close box only: no help button, and nothing grows with the window.
ModalPage::ModalPage(PageFlow& flow, QWidget* owner, const QString& name, const QString& caption,
                     QSize clientTwips)
    : PageFrame(flow, owner,
                Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                    Qt::WindowCloseButtonHint,
                name, caption,
                QSize(twipsToPixels(clientTwips.width()), twipsToPixels(clientTwips.height()))) {
    setModal(true);
}

} // namespace tarvex
