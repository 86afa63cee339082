#pragma once

#include "instance/FrontRequestServer.h"

class QWidget;

namespace tarvex {

// How the wizard's window comes to the front when a second start asks: the window (or the
// modal page or message box over it) is shown unminimized, raised and activated. Under Wayland
// the launcher's activation token is handed to the compositor (xdg-activation), which decides;
// under X11 the window manager is asked to activate it.
[[nodiscard]] FrontRequestServer::Window WindowToFront(QWidget& window);

} // namespace tarvex
