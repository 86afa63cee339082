#pragma once

// The lab network as the lab tests and the benchmark see it: its namespaces, the simulators in
// them and the settings of the PC's namespace. No test framework here: the benchmark links it.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tarvex::lab {

// The namespace of the lab that plays the given role, e.g. "tvx1234-pc".
[[nodiscard]] std::string LabNamespace(const char* role);

// True only when this process runs inside the lab namespace of that role: the lab tests send
// packets, and must never do so on this machine's own interfaces.
[[nodiscard]] bool InLab(const char* role);

// Runs `ip` with the arguments and waits for it; its exit status.
int RunIp(const QStringList& arguments);

// Puts the foreign appliance (ap3) back on its own subnet, 10.77.2.50/24, wherever an earlier
// configuration moved it; true when both steps worked.
[[nodiscard]] bool PutForeignApplianceBack();

// An appliance simulator (or another lab tool taking the same --lifetime, --ready-file and
// --log options) running in a lab namespace, stopped (by its id) when destroyed.
class SimulatorProcess {
public:
    SimulatorProcess(const char* role, const QStringList& arguments,
                     const char* program = TARVEX_APPLIANCE_SIM);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    [[nodiscard]] bool ready() const { return ready_; }
    [[nodiscard]] QByteArray log() const;

private:
    pid_t pid_ = -1;
    bool ready_ = false;
    std::string readyFile_;
    std::string logFile_;
};

struct Arrival {
    QByteArray bytes;
    std::chrono::milliseconds after; // since the listener opened
};

// The PC's reply port, bound on every local address.
class ReplyListener {
public:
    ReplyListener();
    ~ReplyListener();
    ReplyListener(const ReplyListener&) = delete;
    ReplyListener& operator=(const ReplyListener&) = delete;

    [[nodiscard]] bool isOpen() const { return fd_ >= 0; }
    // Datagrams until `count` have arrived or the window is over.
    [[nodiscard]] std::vector<Arrival> receive(std::size_t count, std::chrono::milliseconds window);

private:
    int fd_ = -1;
    std::chrono::steady_clock::time_point opened_;
};

// Sets net.ipv4.ping_group_range of this (lab) namespace, and puts it back.
class PingGroupRange {
public:
    explicit PingGroupRange(const char* range);
    ~PingGroupRange();
    PingGroupRange(const PingGroupRange&) = delete;
    PingGroupRange& operator=(const PingGroupRange&) = delete;

private:
    QByteArray saved_;
};

// Takes CAP_NET_RAW out of this thread's effective capabilities, and gives it back.
class WithoutRawSockets {
public:
    WithoutRawSockets();
    ~WithoutRawSockets();
    WithoutRawSockets(const WithoutRawSockets&) = delete;
    WithoutRawSockets& operator=(const WithoutRawSockets&) = delete;
};

// Runs this process, every thread of it, as an ordinary user (nobody: uid and gid 65534, no
// supplementary group), so no capability is in effect and programs it starts are unprivileged;
// only the saved ids stay root's, so that the lab can be put back when this goes.
class AsOrdinaryUser {
public:
    AsOrdinaryUser();
    ~AsOrdinaryUser();
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

    [[nodiscard]] bool ok() const { return ok_; }

private:
    bool ok_ = false;
    std::vector<gid_t> groups_;
};

// A system bus that accepts every connection and never answers: a unix socket listening in a
// folder of its own, named by DBUS_SYSTEM_BUS_ADDRESS while this lives.
class SilentSystemBus {
public:
    SilentSystemBus();
    ~SilentSystemBus();
    SilentSystemBus(const SilentSystemBus&) = delete;
    SilentSystemBus& operator=(const SilentSystemBus&) = delete;

    [[nodiscard]] bool listening() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    std::string path_;
    QByteArray savedAddress_;
};

// Sets a value under /proc/sys of this (lab) namespace, and puts the old one back.
class SysctlSetting {
public:
    SysctlSetting(const char* path, const char* value);
    ~SysctlSetting();
    SysctlSetting(const SysctlSetting&) = delete;
    SysctlSetting& operator=(const SysctlSetting&) = delete;

private:
    QString path_;
    QByteArray saved_;
};

// Which IPv4 packets a PacketCounter counts.
struct PacketMatch {
    bool outgoing = true;
    int protocol = 1;   // IPPROTO_ICMP
    int kindOrPort = 8; // the ICMP type, or the UDP destination port
};

// Counts the packets that pass an interface of this namespace in one direction.
class PacketCounter {
public:
    PacketCounter(const char* interfaceName, PacketMatch match);
    ~PacketCounter();
    PacketCounter(const PacketCounter&) = delete;
    PacketCounter& operator=(const PacketCounter&) = delete;

    [[nodiscard]] bool isOpen() const { return fd_ >= 0; }
    // Packets seen since the last call, waiting up to `settle` for stragglers.
    [[nodiscard]] int take(std::chrono::milliseconds settle);

private:
    int fd_ = -1;
    PacketMatch match_;
};

// Which datagrams a DatagramLoss loses, as an nftables expression: the first one only, or a
// share of them at random.
inline constexpr const char* kFirstDatagram = "numgen inc mod 1000000 == 0";
[[nodiscard]] QByteArray RandomShare(int percent);

// Loses the discovery datagrams of the PC on an interface of this lab namespace with nftables,
// until destroyed: requests as they leave for the appliances' port, replies as they arrive at
// the PC's port. An empty expression loses none. Does nothing outside the lab namespace of
// `role`.
class DatagramLoss {
public:
    DatagramLoss(const char* role, const char* interfaceName, const QByteArray& requests,
                 const QByteArray& replies);
    ~DatagramLoss();
    DatagramLoss(const DatagramLoss&) = delete;
    DatagramLoss& operator=(const DatagramLoss&) = delete;

    [[nodiscard]] bool active() const { return active_; }

private:
    bool active_ = false;
};

// Counts the ICMP echo requests that leave by an interface of this namespace.
class OutgoingEchoCounter : public PacketCounter {
public:
    explicit OutgoingEchoCounter(const char* interfaceName)
        : PacketCounter(interfaceName, PacketMatch{}) {}
};

} // namespace tarvex::lab
