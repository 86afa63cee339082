#include "probe/SystemPing.h"

#include <QFile>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace tarvex {
QString SystemPingProgram() {
    for (const char* path : {"/usr/bin/ping", "/bin/ping"}) {
        if (access(path, X_OK) == 0) {
            return QString::fromLatin1(path);
        }
    }
    return {};
}

bool PingMaySendEchoes(const QString& program) {
    const QByteArray path = QFile::encodeName(program);
    struct stat info {};
    if (program.isEmpty() || access(path.constData(), X_OK) != 0 ||
        stat(path.constData(), &info) != 0) {
        return false;
    }
    if (geteuid() == 0 || ((info.st_mode & S_ISUID) != 0 && info.st_uid == 0)) {
        return true;
    }
    vfs_cap_data capabilities{};
    const ssize_t size =
        getxattr(path.constData(), "security.capability", &capabilities, sizeof capabilities);
    if (size < static_cast<ssize_t>(XATTR_CAPS_SZ_1)) {
        return false;
    }
    return (capabilities.data[CAP_TO_INDEX(CAP_NET_RAW)].permitted & CAP_TO_MASK(CAP_NET_RAW)) != 0;
}

} // namespace tarvex
