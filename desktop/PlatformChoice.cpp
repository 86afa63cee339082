#include "PlatformChoice.h"

#include <QList>
#include <QtGlobal>

namespace dravik {
namespace {

bool isGnome(const QByteArray& desktops) {
    // A colon-separated list, as "ubuntu:GNOME" or "GNOME-Classic:GNOME".
    const QList<QByteArray> names = desktops.split(':');
    for (const QByteArray& name : names) {
        if (name.compare("GNOME", Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

QByteArray PreferredPlatform(const std::function<QByteArray(const char* name)>& environment) {
    if (!environment("QT_QPA_PLATFORM").isEmpty()) {
        return {}; // the user's own choice
    }
    const bool wayland =
        !environment("WAYLAND_DISPLAY").isEmpty() || environment("XDG_SESSION_TYPE") == "wayland";
    if (!wayland || environment("DISPLAY").isEmpty() ||
        !isGnome(environment("XDG_CURRENT_DESKTOP"))) {
        return {};
    }
    return QByteArrayLiteral("xcb;wayland");
}

void ChoosePlatformForDesktop() {
    const QByteArray platform = PreferredPlatform([](const char* name) { return qgetenv(name); });
    if (!platform.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", platform);
    }
}

} // namespace dravik
