#include "LabHost.h"

#include <QFile>
#include <QThread>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <grp.h>
#include <linux/capability.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tarvex::lab {

namespace {

using Clock = std::chrono::steady_clock;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

pid_t spawn(const QStringList& arguments) {
    std::vector<QByteArray> storage;
    for (const QString& argument : arguments) {
        storage.push_back(argument.toLocal8Bit());
    }
    std::vector<char*> argv;
    for (QByteArray& argument : storage) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    return pid;
}

// Runs the program and waits for it; its exit status, -1 when it did not run or end.
int run(const QStringList& arguments) {
    const pid_t pid = spawn(arguments);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

bool capabilities(__user_cap_data_struct (&data)[2], bool set) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
}

constexpr const char* kLossTable = "tarvex_loss";

} // namespace

std::string LabNamespace(const char* role) {
    return environment("TARVEX_LAB") + "-" + role;
}

bool InLab(const char* role) {
    if (environment("TARVEX_LAB").empty() || environment("TARVEX_LAB_ROLE") != role) {
        return false;
    }
    struct stat mine {};
    struct stat lab {};
    const std::string path = "/run/netns/" + LabNamespace(role);
    return stat("/proc/self/ns/net", &mine) == 0 && stat(path.c_str(), &lab) == 0 &&
           mine.st_ino == lab.st_ino && mine.st_dev == lab.st_dev;
}

int RunIp(const QStringList& arguments) {
    return run(QStringList{"ip"} + arguments);
}

bool PutForeignApplianceBack() {
    const QString ns = QString::fromStdString(LabNamespace("ap3"));
    return RunIp({"-n", ns, "addr", "flush", "dev", "eth0"}) == 0 &&
           RunIp({"-n", ns, "addr", "add", "10.77.2.50/24", "dev", "eth0"}) == 0;
}

SimulatorProcess::SimulatorProcess(const char* role, const QStringList& arguments,
                                   const char* program) {
    static int count = 0;
    const std::string stem = "/tmp/" + environment("TARVEX_LAB") + "-sim-" +
                             std::to_string(getpid()) + "-" + std::to_string(++count);
    readyFile_ = stem + ".ready";
    logFile_ = stem + ".log";
    std::remove(readyFile_.c_str());
    std::remove(logFile_.c_str());
    // `ip netns exec` replaces itself with the simulator: the id is the simulator's.
    pid_ = spawn(QStringList{"ip", "netns", "exec", QString::fromStdString(LabNamespace(role)),
                             program, "--lifetime", "20", "--ready-file",
                             QString::fromStdString(readyFile_), "--log",
                             QString::fromStdString(logFile_)} +
                 arguments);
    const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(10);
    while (pid_ > 0 && Clock::now() < giveUp) {
        if (QFile::exists(QString::fromStdString(readyFile_))) {
            ready_ = true;
            break;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1; // ended before it was ready
            break;
        }
        QThread::msleep(10);
    }
}

SimulatorProcess::~SimulatorProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    std::remove(readyFile_.c_str());
    std::remove(logFile_.c_str());
}

QByteArray SimulatorProcess::log() const {
    QFile file(QString::fromStdString(logFile_));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ReplyListener::ReplyListener() : fd_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP)) {
    const int on = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(12310);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        close(fd_);
        fd_ = -1;
    }
    opened_ = Clock::now();
}

ReplyListener::~ReplyListener() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

std::vector<Arrival> ReplyListener::receive(std::size_t count, std::chrono::milliseconds window) {
    std::vector<Arrival> arrivals;
    const Clock::time_point end = Clock::now() + window;
    while (arrivals.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        pollfd watch{fd_, POLLIN, 0};
        if (left.count() <= 0 || poll(&watch, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        QByteArray buffer(65536, '\0');
        const ssize_t size = recv(fd_, buffer.data(), static_cast<std::size_t>(buffer.size()), 0);
        if (size >= 0) {
            arrivals.push_back(
                {buffer.left(size),
                 std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - opened_)});
        }
    }
    return arrivals;
}

PingGroupRange::PingGroupRange(const char* range) {
    QFile file("/proc/sys/net/ipv4/ping_group_range");
    if (file.open(QIODevice::ReadOnly)) {
        saved_ = file.readAll().trimmed().replace('\t', ' ');
    }
    QFile out("/proc/sys/net/ipv4/ping_group_range");
    if (out.open(QIODevice::WriteOnly)) {
        out.write(range);
    }
}

PingGroupRange::~PingGroupRange() {
    QFile out("/proc/sys/net/ipv4/ping_group_range");
    if (!saved_.isEmpty() && out.open(QIODevice::WriteOnly)) {
        out.write(saved_);
    }
}

WithoutRawSockets::WithoutRawSockets() {
    __user_cap_data_struct data[2] = {};
    if (capabilities(data, false)) {
        data[CAP_TO_INDEX(CAP_NET_RAW)].effective &= ~CAP_TO_MASK(CAP_NET_RAW);
        capabilities(data, true);
    }
}

WithoutRawSockets::~WithoutRawSockets() {
    __user_cap_data_struct data[2] = {};
    if (capabilities(data, false)) {
        data[CAP_TO_INDEX(CAP_NET_RAW)].effective |= CAP_TO_MASK(CAP_NET_RAW);
        capabilities(data, true);
    }
}

AsOrdinaryUser::AsOrdinaryUser() {
    constexpr unsigned kNobody = 65534;
    const int count = getgroups(0, nullptr);
    groups_.resize(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0 && getgroups(count, groups_.data()) < 0) {
        groups_.clear();
    }
    // glibc changes the ids of every thread of the process.
    ok_ = setgroups(0, nullptr) == 0 && setresgid(kNobody, kNobody, 0) == 0 &&
          setresuid(kNobody, kNobody, 0) == 0;
}

AsOrdinaryUser::~AsOrdinaryUser() {
    if (setresuid(0, 0, 0) == 0 && setresgid(0, 0, 0) == 0) {
        (void)setgroups(groups_.size(), groups_.data());
    }
}

SilentSystemBus::SilentSystemBus()
    : path_("/tmp/" + environment("TARVEX_LAB") + "-bus-" + std::to_string(getpid())),
      savedAddress_(qgetenv("DBUS_SYSTEM_BUS_ADDRESS")) {
    std::remove(path_.c_str());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof address.sun_path) {
        return;
    }
    std::memcpy(address.sun_path, path_.c_str(), path_.size());
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // Never accepted: connections wait in the queue, and nothing is ever read or written.
    if (fd_ >= 0 && (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
                     listen(fd_, 16) != 0)) {
        close(fd_);
        fd_ = -1;
    }
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", QByteArray("unix:path=") + path_.c_str());
}

SilentSystemBus::~SilentSystemBus() {
    if (fd_ >= 0) {
        close(fd_);
    }
    std::remove(path_.c_str());
    if (savedAddress_.isEmpty()) {
        qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    } else {
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", savedAddress_);
    }
}

SysctlSetting::SysctlSetting(const char* path, const char* value)
    : path_(QStringLiteral("/proc/sys/") + QString::fromLatin1(path)) {
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly)) {
        saved_ = file.readAll().trimmed();
    }
    QFile out(path_);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(value);
    }
}

SysctlSetting::~SysctlSetting() {
    QFile out(path_);
    if (!saved_.isEmpty() && out.open(QIODevice::WriteOnly)) {
        out.write(saved_);
    }
}

QByteArray RandomShare(int percent) {
    return "numgen random mod 100 < " + QByteArray::number(percent);
}

DatagramLoss::DatagramLoss(const char* role, const char* interfaceName, const QByteArray& requests,
                           const QByteArray& replies) {
    // nftables acts on the namespace it runs in: never on this machine's own.
    if (!InLab(role)) {
        return;
    }
    // At the interface itself, as the cable would lose them: a request dropped on its way out
    // of the IP layer would fail its sendto() instead.
    const auto chain = [interfaceName](const char* name, const char* hook, int port,
                                       const QByteArray& lost) {
        QByteArray text = QByteArray("chain ") + name + " { type filter hook " + hook +
                          " device \"" + interfaceName + "\" priority 0; policy accept; ";
        if (!lost.isEmpty()) {
            text += "udp dport " + QByteArray::number(port) + " " + lost + " drop; ";
        }
        return text + "}; ";
    };
    // One transaction: a table left by a test that crashed goes first.
    const QByteArray name = QByteArray("table netdev ") + kLossTable;
    const QByteArray script = "add " + name + "; delete " + name + "; " + name + " { " +
                              chain("requests", "egress", 12311, requests) +
                              chain("replies", "ingress", 12310, replies) + "}";
    active_ = run({"nft", QString::fromLatin1(script)}) == 0;
}

DatagramLoss::~DatagramLoss() {
    if (active_) {
        (void)run({"nft", "delete", "table", "netdev", kLossTable});
    }
}

PacketCounter::PacketCounter(const char* interfaceName, PacketMatch match)
    : fd_(socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, htons(ETH_P_ALL))),
      match_(match) {
    sockaddr_ll link{};
    link.sll_family = AF_PACKET;
    link.sll_protocol = htons(ETH_P_ALL); // only these see outgoing packets
    link.sll_ifindex = static_cast<int>(if_nametoindex(interfaceName));
    // Room for a few thousand packets: they are counted only after the burst is over.
    const int room = 8 << 20;
    setsockopt(fd_, SOL_SOCKET, SO_RCVBUFFORCE, &room, sizeof room);
    if (fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&link), sizeof link) != 0) {
        close(fd_);
        fd_ = -1;
    }
}

PacketCounter::~PacketCounter() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

int PacketCounter::take(std::chrono::milliseconds settle) {
    int count = 0;
    const Clock::time_point end = Clock::now() + settle;
    for (;;) {
        unsigned char packet[2048];
        sockaddr_ll from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size =
            recvfrom(fd_, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            pollfd watch{fd_, POLLIN, 0};
            if (left.count() <= 0 || poll(&watch, 1, static_cast<int>(left.count())) <= 0) {
                return count;
            }
            continue;
        }
        const std::size_t header = static_cast<std::size_t>(packet[0] & 0x0f) * 4;
        const bool outgoing = from.sll_pkttype == PACKET_OUTGOING;
        if (outgoing != match_.outgoing || from.sll_protocol != htons(ETH_P_IP) ||
            static_cast<std::size_t>(size) < header + 4 || packet[9] != match_.protocol) {
            continue;
        }
        const int kind = match_.protocol == IPPROTO_UDP
                             ? (packet[header + 2] << 8) | packet[header + 3]
                             : packet[header];
        count += kind == match_.kindOrPort ? 1 : 0;
    }
}

} // namespace tarvex::lab
