#pragma once

#include <QString>
#include <chrono>

namespace tarvex {

// The system's own echo tool, iputils ping, for a user who may open no ICMP socket: Debian and
// Ubuntu install it with the capability to, so the wizard itself needs none.

// Where the system keeps ping: the first of /usr/bin/ping and /bin/ping that may be run; empty
// when neither may. PATH is not searched: another program called ping would not take our options.
[[nodiscard]] QString SystemPingProgram();

// What decides whether a program this process starts holds CAP_NET_RAW: this process's
// capability sets and bits, and the program file's set-user-ID root bit and capabilities.
struct RawCapabilityFacts {
    bool root = false;            // real or effective user ID 0
    bool rootIsSpecial = true;    // no SECBIT_NOROOT: root gets every capability on exec
    bool noNewPrivileges = false; // PR_SET_NO_NEW_PRIVS: exec grants nothing not yet permitted
    bool bounding = true;         // CAP_NET_RAW in the bounding set
    bool permitted = false;       // ... in the permitted set
    bool inheritable = false;     // ... in the inheritable set
    bool ambient = false;         // ... in the ambient set
    bool fileSetUidRoot = false;  // the program is set-user-ID root
    bool fileHasCapabilities = false;
    bool filePermitted = false;   // CAP_NET_RAW among the program's permitted file capabilities
    bool fileInheritable = false; // ... among its inheritable ones
};

// Whether the program holds CAP_NET_RAW once started, by the kernel's rules of exec: root's
// notional full file sets, the bounding set that limits what any file may grant, the
// inheritable and ambient sets, and no_new_privs.
[[nodiscard]] bool ProgramGainsRawSockets(const RawCapabilityFacts& facts);

// Why the system's ping cannot send echoes for this user, so that the fix offered is the one
// that helps.
enum class PingBlock {
    None,            // it can
    Missing,         // no ping that may be run
    BoundingSet,     // CAP_NET_RAW is outside this process's bounding set (a container)
    NoNewPrivileges, // no_new_privs is set (a sandbox): exec grants no capability
    NotPrivileged,   // ping itself is neither set-user-ID root nor given the capability
};

// The block the facts make: outside the bounding set or under no_new_privs only when ping would
// gain the capability without that restriction.
[[nodiscard]] PingBlock PingBlockOf(const RawCapabilityFacts& facts);

// That block for the program as this process would start it.
[[nodiscard]] PingBlock SystemPingBlock(const QString& program = SystemPingProgram());

// Whether that ping can send echoes for this user: it may be run and it holds CAP_NET_RAW once
// started (as root, set-user-ID root or by file capability, each only within this process's
// bounding set).
[[nodiscard]] inline bool PingMaySendEchoes(const QString& program) {
    return SystemPingBlock(program) == PingBlock::None;
}

// Most pings running at once: twenty candidates go together, a thousand addresses in turns.
inline constexpr std::size_t kMostPingsAtOnce = 32;

// Beyond ping's own deadline, how long it may take to start and end before it is killed.
inline constexpr std::chrono::milliseconds kPingGrace{1000};

} // namespace tarvex
