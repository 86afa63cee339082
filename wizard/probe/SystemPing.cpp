#include "probe/SystemPing.h"

#include <QFile>
#include <array>
#include <linux/capability.h>
#include <linux/securebits.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
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

bool ProgramGainsRawSockets(const RawCapabilityFacts& facts) {
    // No new privileges: the set-user-ID bit does nothing, and nothing beyond what is permitted
    // now is granted.
    const bool rootAfter =
        facts.rootIsSpecial && (facts.root || (facts.fileSetUidRoot && !facts.noNewPrivileges));
    const bool fileInheritable = rootAfter || facts.fileInheritable;
    const bool filePermitted = rootAfter || facts.filePermitted;
    const bool ambient = facts.ambient && !facts.fileSetUidRoot && !facts.fileHasCapabilities;
    const bool gained =
        (facts.inheritable && fileInheritable) || (filePermitted && facts.bounding) || ambient;
    return gained && (!facts.noNewPrivileges || facts.permitted);
}

PingBlock PingBlockOf(const RawCapabilityFacts& facts) {
    if (ProgramGainsRawSockets(facts)) {
        return PingBlock::None;
    }
    RawCapabilityFacts unrestricted = facts;
    unrestricted.bounding = true;
    unrestricted.noNewPrivileges = false;
    if (!ProgramGainsRawSockets(unrestricted)) {
        return PingBlock::NotPrivileged;
    }
    // The bounding set first: nothing this process or its children do can win it back.
    return facts.bounding ? PingBlock::NoNewPrivileges : PingBlock::BoundingSet;
}

PingBlock SystemPingBlock(const QString& program) {
    const QByteArray path = QFile::encodeName(program);
    struct stat info {};
    if (program.isEmpty() || access(path.constData(), X_OK) != 0 ||
        stat(path.constData(), &info) != 0) {
        return PingBlock::Missing;
    }
    RawCapabilityFacts facts;
    facts.root = getuid() == 0 || geteuid() == 0;
    const int secureBits = prctl(PR_GET_SECUREBITS, 0, 0, 0, 0);
    facts.rootIsSpecial = secureBits >= 0 && (secureBits & SECBIT_NOROOT) == 0;
    facts.noNewPrivileges = prctl(PR_GET_NO_NEW_PRIVS, 0, 0, 0, 0) != 0;
    facts.bounding = prctl(PR_CAPBSET_READ, CAP_NET_RAW, 0, 0, 0) == 1;
    facts.ambient = prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_IS_SET, CAP_NET_RAW, 0, 0) == 1;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    std::array<__user_cap_data_struct, _LINUX_CAPABILITY_U32S_3> sets{};
    if (syscall(SYS_capget, &header, sets.data()) != 0) {
        return PingBlock::NotPrivileged;
    }
    const __user_cap_data_struct& raw = sets[CAP_TO_INDEX(CAP_NET_RAW)];
    facts.permitted = (raw.permitted & CAP_TO_MASK(CAP_NET_RAW)) != 0;
    facts.inheritable = (raw.inheritable & CAP_TO_MASK(CAP_NET_RAW)) != 0;
    facts.fileSetUidRoot = (info.st_mode & S_ISUID) != 0 && info.st_uid == 0;
    vfs_ns_cap_data capabilities{}; // the longest layout; the first ones are its beginning
    const ssize_t size =
        getxattr(path.constData(), "security.capability", &capabilities, sizeof capabilities);
    if (size >= static_cast<ssize_t>(XATTR_CAPS_SZ_1)) {
        const auto& file = capabilities.data[CAP_TO_INDEX(CAP_NET_RAW)];
        facts.fileHasCapabilities = true;
        facts.filePermitted = (file.permitted & CAP_TO_MASK(CAP_NET_RAW)) != 0;
        facts.fileInheritable = (file.inheritable & CAP_TO_MASK(CAP_NET_RAW)) != 0;
    }
    return PingBlockOf(facts);
}

} // namespace tarvex
