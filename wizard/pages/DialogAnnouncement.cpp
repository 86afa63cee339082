#include "pages/DialogAnnouncement.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>

namespace tarvex {

void announceDialogOpened(QDialog& dialog) {
    // The focus was given while the dialog was still hidden, or to a control that already had
    // it: Qt then tells nothing, where a window's activation tells it again.
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || !dialog.isAncestorOf(focus)) {
        focus = dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog;
    }
    QAccessibleEvent focused(focus, QAccessible::Focus);
    QAccessible::updateAccessibility(&focused);
}

} // namespace tarvex
