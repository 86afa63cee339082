#include "pages/PageWindow.h"

#include "pages/PageDesign.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>

namespace tarvex {

PageWindow::PageWindow() {
    setObjectName(QStringLiteral("PageWindow"));
    // No maximize box: nothing on a page moves or grows with its window.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

void PageWindow::host(QWidget* page) {
    setWindowTitle(page->windowTitle());
    setWindowIcon(page->windowIcon());
    setFixedSize(page->size());
    // The control the page's design gives the focus first, before the page on screen loses it.
    QWidget* first = page->focusWidget();
    page->move(0, 0);
    page->show();
    page->raise();
    // As each page of the line did when it was a window of its own.
    design::centreOnScreen(this);
    show();
    (first != nullptr ? first : page)->setFocus();
}

QWidget* PageWindow::dialogParent() {
    QWidget* modal = QApplication::activeModalWidget();
    // A box goes with its parent: one over a box would go when that box is answered.
    while (qobject_cast<QMessageBox*>(modal) != nullptr) {
        modal = modal->parentWidget();
    }
    if (modal != nullptr) {
        return modal->window();
    }
    return this;
}

void PageWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (closedByUser_) {
        closedByUser_();
    }
}

} // namespace tarvex
