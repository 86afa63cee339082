#pragma once

#include "pages/WindowLook.h"

#include <QPointer>
#include <QWidget>

class QDialog;
class QLabel;

namespace tarvex {

// A dialog drawn inside the wizard's window rather than as a window of its own: centred over the
// page on a card whose heading is the dialog's title, framed and shadowed, the page behind dimmed
// and inert until the dialog closes. The dialog itself looks as its window would (WindowLook) and
// its first focus is a window's first focus. A Wayland client cannot place its windows and
// compositors do not place a dialog by its parent, so there the boxes and modal pages come this
// way; elsewhere they stay windows.
class DialogOverlay final : public QWidget {
    Q_OBJECT
public:
    // Whether dialogs are drawn inside the window on this platform.
    [[nodiscard]] static bool wanted();
    // Where wanted, moves the dialog, given a parent and not yet shown, into its parent's window;
    // otherwise leaves it alone.
    static void placeOverWizard(QDialog& dialog);
    // Moves it in on any platform. The dialog shows and answers as before (exec() included); once
    // it has finished it is a hidden window of its parent again, and it goes with that parent.
    static DialogOverlay* cover(QDialog& dialog);
    // Whether a dialog is up inside the window.
    [[nodiscard]] static bool covers(const QWidget& window);
    // The dialog on top in the window that is not a message box; null when there is none.
    [[nodiscard]] static QWidget* topmostPage(const QWidget& window);

    ~DialogOverlay() override;
    [[nodiscard]] QDialog* dialog() const { return dialog_; }
    // The drawn box: heading and dialog.
    [[nodiscard]] QWidget* card() const { return card_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    DialogOverlay(QWidget& window, QDialog& dialog);
    void fit();
    void dialogShown();
    void dialogFinished();
    // Where the focus goes once the dialog has gone: where it was, as a window gets it back when
    // activated again, or, where that is no longer usable, the window's first control.
    void giveFocusBack(QWidget& window);
    // Everything in the window but the topmost open overlay is disabled; what this class
    // disabled and no longer needs to be is enabled again.
    static void settleInertness(QWidget& window);

    QPointer<QDialog> dialog_;
    QPointer<QWidget> owner_;
    QPointer<QWidget> focusBefore_;
    QPointer<QWidget> firstFocus_;
    Qt::WindowFlags dialogFlags_;
    WindowLook look_;
    QWidget* card_;
    QLabel* heading_;
    bool open_ = true;
};

} // namespace tarvex
