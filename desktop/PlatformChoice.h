#pragma once

#include <QByteArray>
#include <functional>

namespace dravik {

// The platform plugins Qt is to try when the environment leaves the choice to the program, or
// nothing to keep Qt's own choice. GNOME's compositor draws no frame for Wayland windows, so a
// Qt window there gets Qt's own title bar, unlike every other window of the desktop; through
// Xwayland the compositor frames it as its own windows, at the session's scale. Wayland stays
// the fallback when Xwayland is not there.
[[nodiscard]] QByteArray
PreferredPlatform(const std::function<QByteArray(const char* name)>& environment);

// Sets QT_QPA_PLATFORM to PreferredPlatform's choice, before the application object exists. A
// `-platform` argument still wins.
void ChoosePlatformForDesktop();

} // namespace dravik
