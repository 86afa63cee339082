#pragma once

#include "core/Launcher.h"

namespace quirra {

// The real launcher: the desktop's handler for files and addresses, and detached processes.
class DesktopLauncher final : public Launcher {
public:
    bool openWithDesktop(const QString& fileOrAddress) override;
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& workingFolder) override;
};

} // namespace quirra
