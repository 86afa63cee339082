#include "instance/HandOver.h"

#include "instance/FrontRequest.h"
#include "texts/AddedTexts.h"

namespace tarvex {

int HandOverToOpenWizard(const InstancePlace& place, const QByteArray& activationToken,
                         int textBase, QTextStream& err) {
    // Room for a wizard still starting (up to its socket) and for its answer, which comes after
    // the desktop had time to activate its window.
    using namespace std::chrono_literals;
    if (AskToFront(place.socket, activationToken, 3s) != FrontAnswer::InFront) {
        err << AddedCatalogText(textBase, AddedText::WizardAlreadyOpen).arg("Tarvex") << '\n';
        err.flush();
    }
    return 0;
}

} // namespace tarvex
