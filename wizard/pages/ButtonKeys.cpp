#include "pages/ButtonKeys.h"

#include "pages/PageDesign.h"

#include <QKeyEvent>
#include <QPushButton>

namespace tarvex {

void ButtonKeys::setDefaultButton(QPushButton* button) {
    if (defaultButton_ != nullptr && defaultButton_ != button) {
        defaultButton_->setDefault(false);
    }
    defaultButton_ = button;
    button->setDefault(true);
}

void ButtonKeys::setCancelButton(QPushButton* button) {
    cancelButton_ = button;
}

bool ButtonKeys::keyPress(QKeyEvent* event) const {
    QPushButton* target = design::buttonForKey(event, defaultButton_, cancelButton_);
    if (target != nullptr) {
        event->accept();
        target->click();
        return true;
    }
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    return false;
}

} // namespace tarvex
