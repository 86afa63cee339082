#include "instance/InstancePlace.h"

#include <QFileInfo>
#include <unistd.h>

namespace tarvex {

std::optional<InstancePlace> UserInstancePlace() {
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return std::nullopt;
    }
    const QString stem = QStringLiteral("%1/tarvex-%2").arg(folder).arg(getuid());
    return InstancePlace{stem + QStringLiteral(".lock"), stem + QStringLiteral(".socket")};
}

} // namespace tarvex
