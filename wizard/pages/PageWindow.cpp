#include "pages/PageWindow.h"

#include "pages/DialogOverlay.h"
#include "pages/FrameCentring.h"
#include "pages/PageDesign.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QWindow>

namespace tarvex {

PageWindow::PageWindow() {
    setObjectName(QStringLiteral("PageWindow"));
    // No maximize box: nothing on a page moves or grows with its window.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

void PageWindow::host(QWidget* page) {
    page_ = page;
    setWindowTitle(page->windowTitle());
    setWindowIcon(page->windowIcon());
    // What shows around the page while the window is larger than it.
    QPalette around = palette();
    around.setColor(QPalette::Window, page->palette().color(QPalette::Window));
    setPalette(around);
    setAutoFillBackground(true);
    fitToPage();
    // The control the page's design gives the focus first, before the page on screen loses it.
    QWidget* first = page->focusWidget();
    page->show();
    page->raise();
    if (!fillsScreen()) {
        // As each page of the line did when it was a window of its own.
        design::centreOnScreen(this);
        FrameCentring::once(*this);
    }
    show();
    if (!stateWatch_) {
        stateWatch_ = connect(windowHandle(), &QWindow::windowStateChanged, this,
                              &PageWindow::windowStateRequested);
    }
    (first != nullptr ? first : page)->setFocus();
}

bool PageWindow::fillsScreen() const {
    const QWindow* handle = windowHandle();
    return handle != nullptr &&
           (handle->windowStates() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
}

void PageWindow::windowStateRequested(Qt::WindowState state) {
    // Called as the request leaves, before the compositor's answer: that answer gives the
    // window the screen's size, which a window fixed to the page's size would not take. Back
    // in the normal state, the window keeps its size until the compositor's answer resizes it
    // (resizeEvent), since a smaller window before that answer is refused as well.
    if (fillsScreen() || (state == Qt::WindowNoState && page_ && size() == page_->size())) {
        fitToPage();
    }
}

void PageWindow::fitToPage() {
    if (!page_) {
        return;
    }
    const QSize pageSize = page_->size();
    if (fillsScreen()) {
        setMinimumSize(pageSize);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(pageSize);
    }
    page_->move((width() - pageSize.width()) / 2, (height() - pageSize.height()) / 2);
}

void PageWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitToPage();
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
    // Drawn inside this window, a modal page is no window of its own.
    QWidget* page = DialogOverlay::topmostPage(*this);
    return page != nullptr ? page : this;
}

void PageWindow::closeEvent(QCloseEvent* event) {
    // A dialog inside the window is answered first, as a modal window would be.
    if (DialogOverlay::covers(*this)) {
        event->ignore();
        return;
    }
    event->accept();
    if (closedByUser_) {
        closedByUser_();
    }
}

} // namespace tarvex
