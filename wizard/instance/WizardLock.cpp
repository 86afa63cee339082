#include "instance/WizardLock.h"

#include "base/Logging.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvex {
namespace {

// A lock of the open file description (not of the process), released when the last descriptor
// of it closes; the descriptor is closed on exec, so no program the wizard starts keeps it.
flock WholeFile(short type) {
    flock lock{};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;
}

// The lock file, never through a link, and only a plain file of this user's.
int OpenLockFile(const QString& path, int flags) {
    const int fd = open(QFile::encodeName(path).constData(), flags | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return -1;
    }
    struct stat facts {};
    if (fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode) || facts.st_uid != geteuid()) {
        close(fd);
        errno = EPERM;
        return -1;
    }
    return fd;
}

} // namespace

WizardLock::WizardLock(std::optional<InstancePlace> place) : place_(std::move(place)) {
    if (!place_) {
        return;
    }
    const int fd = OpenLockFile(place_->lock, O_RDWR | O_CREAT);
    if (fd < 0) {
        qCWarning(lcRun) << "no wizard lock" << place_->lock << "errno" << errno;
        return;
    }
    flock lock = WholeFile(F_WRLCK);
    if (fcntl(fd, F_OFD_SETLK, &lock) == 0) {
        fd_ = fd;
        return;
    }
    heldElsewhere_ = errno == EAGAIN || errno == EACCES;
    close(fd);
}

WizardLock::~WizardLock() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool WizardLock::WizardIsOpen(const std::optional<InstancePlace>& place) {
    if (!place) {
        return false;
    }
    const int fd = OpenLockFile(place->lock, O_RDONLY);
    if (fd < 0) {
        return false; // never made (no wizard was ever open here), or not ours
    }
    flock lock = WholeFile(F_WRLCK);
    const bool open = fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    close(fd);
    return open;
}

} // namespace tarvex
