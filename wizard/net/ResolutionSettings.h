#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <chrono>
#include <functional>
#include <optional>

namespace tarvex {

// However short the kernel's resolution time, a failure counts as a sign of a free address only
// when the network was asked at least this long: a host may answer the resolution late (measured
// up to 2.99 s), and a short resolution would have given up on it before.
inline constexpr std::chrono::milliseconds kShortestResolutionWait{3000};

// The longest the search waits for a failure, whatever the settings promise: what is undecided
// then counts as in use, so a shorter wait is never unsafe, only less likely to find an address.
inline constexpr std::chrono::milliseconds kLongestResolutionWait{10000};

// The kernel's address resolution settings of one interface (/proc/sys/net/ipv4/neigh/NAME),
// each clamped to what can matter, so that no value can upset the arithmetic.
struct ResolutionSettings {
    qint64 multicastRequests = 3;               // mcast_solicit: requests broadcast to the LAN
    qint64 daemonRequests = 0;                  // app_solicit: requests to a user-space daemon
    std::chrono::milliseconds retransmit{1000}; // retrans_time_ms

    // Whether the kernel asks the network at all: with mcast_solicit 0 every resolution fails at
    // once without a request, so a failure says nothing of the address.
    [[nodiscard]] bool asksTheNetwork() const { return multicastRequests > 0; }
    // How long the kernel takes to give up resolving a new neighbour (at most
    // kLongestResolutionWait).
    [[nodiscard]] std::chrono::milliseconds resolutionTime() const;
    // How long the kernel asks the daemon before its first broadcast request: app_solicit
    // rounds of retrans_time_ms each, in which the network hears nothing.
    [[nodiscard]] std::chrono::milliseconds daemonTime() const;
    // How long after its echo a failed resolution counts: the network was asked for
    // kShortestResolutionWait from the first broadcast request on, and never sooner than the
    // resolution time. Not cut short: it may pass kLongestResolutionWait.
    [[nodiscard]] std::chrono::milliseconds failureCountsAfter() const;
    // How long the search waits for failures: failureCountsAfter(), at most
    // kLongestResolutionWait.
    [[nodiscard]] std::chrono::milliseconds waitTime() const;

    friend bool operator==(const ResolutionSettings&, const ResolutionSettings&) = default;
};

// Reads a small file; nothing when it cannot be read.
using SettingsFileReader = std::function<std::optional<QByteArray>(const QString& path)>;

// The directory of an interface's settings.
[[nodiscard]] QString ResolutionSettingsDirectory(const QString& interfaceName);

// The settings in `directory`: a value that cannot be read or is no whole number keeps the
// kernel's default; any other is clamped.
[[nodiscard]] ResolutionSettings ReadResolutionSettings(const SettingsFileReader& read,
                                                        const QString& directory);

} // namespace tarvex
