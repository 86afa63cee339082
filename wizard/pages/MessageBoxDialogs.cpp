#include "pages/MessageBoxDialogs.h"

#include "pages/OpenModal.h"

#include <QMessageBox>
#include <utility>

namespace tarvex {
namespace {

void build(QMessageBox& box, const Message& message) {
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
}

MessageAnswer answerOf(int result) {
    return result == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

} // namespace

MessageBoxDialogs::MessageBoxDialogs(ParentSource parent) : parent_(std::move(parent)) {}

QWidget* MessageBoxDialogs::parent() const {
    return parent_ ? parent_() : nullptr;
}

MessageAnswer MessageBoxDialogs::showMessage(const Message& message) {
    // Parented, the box is transient for the wizard's window: every compositor places it there.
    QMessageBox box(parent());
    build(box, message);
    return answerOf(box.exec());
}

void MessageBoxDialogs::ask(const Message& message, Answered done) {
    // Goes with its parent: a box over a modal page that is gone is never answered.
    auto* box = new QMessageBox(parent());
    box->setAttribute(Qt::WA_DeleteOnClose);
    build(*box, message);
    QObject::connect(box, &QMessageBox::finished, box,
                     [done = std::move(done)](int result) { done(answerOf(result)); });
    openApplicationModal(*box);
}

} // namespace tarvex
