#pragma once

class QWidget;

namespace tarvex {

// Under X11, asks the window manager to activate the top-level window as a pager does, at the
// current time: the user asked for the wizard by starting it again, and Qt's own request carries
// the time of the wizard's last input, which focus-stealing prevention refuses. Without a window
// manager the focus is set directly. Does nothing on other platforms.
void ActivateOnX11(QWidget& window);

} // namespace tarvex
