#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

namespace tarvex {

// The one top-level window of the line of step pages. It shows one page at a time and takes
// that page's caption, icon and fixed size, so that to the user it is the page. Every other
// window of the wizard (message boxes, the modal pages) is parented to it, transient for it
// under X11; under Wayland, whose compositors do not place a dialog by its parent, they are
// drawn inside it (DialogOverlay).
// A Wayland title bar drawn by Qt has a maximize button whatever the flags say, and a compositor
// ends a client whose maximized window keeps another size; so while the window is maximized it
// takes the screen's size and the page stays as it is, centred on the page's colour.
class PageWindow final : public QWidget {
    Q_OBJECT
public:
    PageWindow();

    // Called when the user closes the window with its close box.
    void setClosedByUser(std::function<void()> closed) { closedByUser_ = std::move(closed); }

    // Shows the page in the window, over the page shown so far, and the window centred on the
    // screen with the page's caption and size.
    void host(QWidget* page);

    // The window a message box is to stand over: the modal page on top, when one is up (a box
    // over a box goes with the first one's), otherwise this window.
    [[nodiscard]] QWidget* dialogParent();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    [[nodiscard]] bool fillsScreen() const;
    void windowStateRequested(Qt::WindowState state);
    // Fixed to the page's size, or while the window fills the screen, at least that size.
    void fitToPage();
    // Under X11 the frame is known only once a window manager has put it around the window:
    // the window is centred again by its frame then.

    std::function<void()> closedByUser_;
    QPointer<QWidget> page_;
    QMetaObject::Connection stateWatch_;
};

} // namespace tarvex
