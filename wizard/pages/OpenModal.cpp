#include "pages/OpenModal.h"

#include <QDialog>

namespace tarvex {

void openApplicationModal(QDialog& dialog) {
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setResult(0);
    dialog.show();
}

} // namespace tarvex
