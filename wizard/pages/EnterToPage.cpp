#include "pages/EnterToPage.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tarvex {

EnterToPage::EnterToPage(QWidget* control) : QObject(control) {}

bool EnterToPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* control = qobject_cast<QWidget*>(watched);
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || control == nullptr ||
        control->parentWidget() == nullptr) {
        return false;
    }
    QCoreApplication::sendEvent(control->parentWidget(), event);
    return true;
}

} // namespace tarvex
