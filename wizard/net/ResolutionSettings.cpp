#include "net/ResolutionSettings.h"

#include <algorithm>

namespace tarvex {
namespace {

// The kernel keeps the request counts as int; anything above this is as good as endless.
constexpr qint64 kMostRequests = 1000;
// The kernel's timer runs at least every HZ/100, 10 ms.
constexpr qint64 kShortestRetransmitMs = 10;
constexpr qint64 kLongestRetransmitMs = 3600 * 1000;

std::optional<qint64> readNumber(const SettingsFileReader& read, const QString& path) {
    const std::optional<QByteArray> contents = read(path);
    if (!contents) {
        return std::nullopt;
    }
    bool ok = false;
    const qint64 value = contents->trimmed().toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

} // namespace

std::chrono::milliseconds ResolutionSettings::resolutionTime() const {
    // A new entry (none, or a failed one) turns incomplete with its probe count set to
    // ucast_solicit and sends its first request at once. Every retrans_time it sends one more,
    // until the count reaches ucast_solicit + app_solicit + mcast_solicit; at the tick after that
    // it fails. ucast_solicit therefore cancels out, and the app_solicit requests, which go to
    // the daemon before any broadcast, take a tick each like the broadcast ones:
    // (mcast_solicit + app_solicit) * retrans_time_ms, 3 * 1000 ms by default. The factors are
    // clamped, so the product fits easily in 64 bits.
    const qint64 total = (multicastRequests + daemonRequests) * retransmit.count();
    return std::min(std::chrono::milliseconds(total), kLongestResolutionWait);
}

std::chrono::milliseconds ResolutionSettings::daemonTime() const {
    // At most 1000 * 3600 * 1000 ms: far from the limits of 64 bits.
    return std::chrono::milliseconds(daemonRequests * retransmit.count());
}

std::chrono::milliseconds ResolutionSettings::failureCountsAfter() const {
    return std::max(resolutionTime(), daemonTime() + kShortestResolutionWait);
}

std::chrono::milliseconds ResolutionSettings::waitTime() const {
    return std::min(failureCountsAfter(), kLongestResolutionWait);
}

QString ResolutionSettingsDirectory(const QString& interfaceName) {
    return QStringLiteral("/proc/sys/net/ipv4/neigh/") + interfaceName;
}

ResolutionSettings ReadResolutionSettings(const SettingsFileReader& read,
                                          const QString& directory) {
    const auto number = [&](const char* name, qint64 fallback, qint64 low, qint64 high) {
        const qint64 value =
            readNumber(read, directory + QLatin1Char('/') + QLatin1String(name)).value_or(fallback);
        return std::clamp(value, low, high);
    };
    ResolutionSettings settings;
    settings.multicastRequests = number("mcast_solicit", 3, 0, kMostRequests);
    settings.daemonRequests = number("app_solicit", 0, 0, kMostRequests);
    settings.retransmit = std::chrono::milliseconds(
        number("retrans_time_ms", 1000, kShortestRetransmitMs, kLongestRetransmitMs));
    return settings;
}

} // namespace tarvex
