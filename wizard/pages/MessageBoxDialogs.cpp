#include "pages/MessageBoxDialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace tarvex {

MessageAnswer MessageBoxDialogs::showMessage(const Message& message) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(message.title.value_or(QString::fromLatin1(kProgramTitle)));
    box.setText(message.text);
    if (!message.details.isEmpty()) {
        box.setDetailedText(message.details);
    }
    box.setIcon(message.icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                         : QMessageBox::NoIcon);
    if (message.buttons == MessageButtons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

} // namespace tarvex
