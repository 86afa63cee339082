#pragma once

#include <QFont>
#include <QMargins>
#include <QPalette>

class QWidget;

namespace tarvex {

// How a dialog looks as a window of its own: its palette and font, and the margins its layout
// takes from the style, which gives a window wider margins than a widget inside one. A dialog
// drawn inside another window keeps them, so that it looks as its window would; its parent's
// colours and the style's narrower margins do not reach it.
class WindowLook final {
public:
    // Read while the dialog is still a window.
    explicit WindowLook(const QWidget& dialog);

    // Applies the look to the dialog, now a widget inside another window. Called again whenever
    // the dialog rebuilds its layout (a message box does when its contents change).
    void keep(QWidget& dialog) const;
    // Gives the dialog back what it had set itself, once it is a window again.
    void restore(QWidget& dialog) const;

private:
    QPalette palette_;
    QPalette ownPalette_;
    QFont font_;
    QFont ownFont_;
    QMargins margins_;
    bool hasLayout_ = false;
};

} // namespace tarvex
