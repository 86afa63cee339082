#include "instance/InstancePlace.h"

#include "base/Logging.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvex {

std::optional<InstancePlace> InstancePlaceIn(const QString& folder, uid_t user) {
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    struct stat facts {};
    // lstat: a link is refused, whatever it points to.
    const char* refusal = nullptr;
    if (lstat(QFile::encodeName(folder).constData(), &facts) != 0 || !S_ISDIR(facts.st_mode)) {
        refusal = "is a link or not a folder";
    } else if (facts.st_uid != user) {
        refusal = "belongs to another user";
    } else if ((facts.st_mode & 07777) != S_IRWXU) {
        refusal = "is open to other users";
    }
    if (refusal != nullptr) {
        qCWarning(lcRun).noquote()
            << "runtime folder" << folder << refusal << "- running without the one-wizard guard";
        return std::nullopt;
    }
    const QString stem = QStringLiteral("%1/tarvex-%2").arg(folder).arg(user);
    return InstancePlace{stem + QStringLiteral(".lock"), stem + QStringLiteral(".socket")};
}

std::optional<InstancePlace> UserInstancePlace() {
    return InstancePlaceIn(qEnvironmentVariable("XDG_RUNTIME_DIR"), geteuid());
}

} // namespace tarvex
