#include "probe/SystemPing.h"

#include "net/Ipv4Address.h"
#include "process/BoundedProcess.h"

#include <QFile>
#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <csignal>
#include <linux/capability.h>
#include <linux/securebits.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

namespace tarvex {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kPayloadBytes = 26;

// The deadline as ping takes it: seconds with a decimal point, whatever the locale.
QString seconds(std::chrono::milliseconds timeout) {
    return QString::number(static_cast<double>(timeout.count()) / 1000.0, 'f', 3);
}

struct Running {
    std::size_t index = 0;
    pid_t pid = -1;
    int pidFd = -1;          // -1 where the kernel gives no descriptor for its end
    Clock::time_point limit; // killed when still running then
};

ProbeOutcome outcomeOf(int status) {
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        return {EchoStatus::Reply, 0};
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 1) {
        return {EchoStatus::NoReply, 0};
    }
    return {EchoStatus::NotSent, 0};
}

// True once the ping has ended; it is not reaped, so that its id, and its group's, stay its own
// until its group has been ended.
bool hasEnded(pid_t pid) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

// Ends a ping's group and reaps it: a ping killed this way has ended within a moment.
void killAndReap(const Running& ping) {
    kill(-ping.pid, SIGKILL);
    for (int i = 0; i < 1000 && waitpid(ping.pid, nullptr, WNOHANG) == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

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

bool PingMaySendEchoes(const QString& program) {
    const QByteArray path = QFile::encodeName(program);
    struct stat info {};
    if (program.isEmpty() || access(path.constData(), X_OK) != 0 ||
        stat(path.constData(), &info) != 0) {
        return false;
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
        return false;
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
    return ProgramGainsRawSockets(facts);
}

std::vector<ProbeOutcome> PingEach(const QString& program, const std::vector<quint32>& addresses,
                                   std::chrono::milliseconds timeout) {
    std::vector<ProbeOutcome> outcomes(addresses.size(), ProbeOutcome{EchoStatus::NotSent, 0});
    // No locale (ping reads its decimal point from it) and nothing else of ours.
    const std::vector<QByteArray> environment{"LC_ALL=C", "PATH=/usr/bin:/bin"};
    std::vector<Running> running;
    std::size_t next = 0;
    while (next < addresses.size() || !running.empty()) {
        while (next < addresses.size() && running.size() < kMostPingsAtOnce) {
            const std::size_t index = next++;
            // The address ping gets is the parsed one printed back, never a text as received.
            const QString address = Ipv4Address::fromNetworkOrder(addresses[index]).text();
            const QStringList arguments{
                QStringLiteral("-n"),           QStringLiteral("-c"), QStringLiteral("1"),
                QStringLiteral("-W"),           seconds(timeout),     QStringLiteral("-s"),
                QString::number(kPayloadBytes), QStringLiteral("--"), address};
            const pid_t pid = SpawnInOwnSession(program, arguments, environment);
            if (pid > 0) {
                running.push_back({index, pid, static_cast<int>(syscall(SYS_pidfd_open, pid, 0)),
                                   Clock::now() + timeout + kPingGrace});
            } // else: not sent
        }
        if (running.empty()) {
            continue;
        }
        std::vector<pollfd> watch;
        Clock::time_point nearest = Clock::time_point::max();
        bool everyEndWatched = true;
        for (const Running& ping : running) {
            watch.push_back({ping.pidFd, POLLIN, 0});
            nearest = std::min(nearest, ping.limit);
            everyEndWatched = everyEndWatched && ping.pidFd >= 0;
        }
        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nearest - Clock::now());
        if (!everyEndWatched) {
            wait = std::min(wait, std::chrono::milliseconds(20));
        }
        if (wait.count() > 0) {
            (void)poll(watch.data(), watch.size(), static_cast<int>(wait.count()));
        }
        const Clock::time_point now = Clock::now();
        for (auto ping = running.begin(); ping != running.end();) {
            if (hasEnded(ping->pid)) {
                kill(-ping->pid, SIGKILL); // whatever it left in its group
                int status = 0;
                (void)waitpid(ping->pid, &status, 0); // it has ended: returns at once
                outcomes[ping->index] = outcomeOf(status);
            } else if (now >= ping->limit) {
                killAndReap(*ping); // stays "not sent": it never told
            } else {
                ++ping;
                continue;
            }
            if (ping->pidFd >= 0) {
                close(ping->pidFd);
            }
            ping = running.erase(ping);
        }
    }
    return outcomes;
}

} // namespace tarvex
