#pragma once

#include "modules/Prober.h"

#include <chrono>

namespace tarvex {

// The echo payload every probe sends.
inline constexpr char kEchoPayload[] = "abcdefghijklmnopqrstuvwxyz";
inline constexpr std::chrono::milliseconds kEchoTimeout{500};

enum class IcmpSocketKinds {
    DatagramThenRaw, // normal use
    DatagramOnly,
    RawOnly,
};

// The real prober: ICMP echo requests on one socket, all answered or timed out in one bounded
// wait. Keeps nothing between calls.
class IcmpProber final : public Prober {
public:
    explicit IcmpProber(std::chrono::milliseconds timeout = kEchoTimeout,
                        IcmpSocketKinds kinds = IcmpSocketKinds::DatagramThenRaw)
        : timeout_(timeout), kinds_(kinds) {}

    [[nodiscard]] QList<ProbeOutcome> probeAll(const QStringList& addresses) override;

private:
    std::chrono::milliseconds timeout_;
    IcmpSocketKinds kinds_;
};

// Converts an address text by the rules of inet_addr: dotted quads and their short forms are
// accepted; empty text, host names and "255.255.255.255" (whose value is the error value) are
// not. Returns false when the text is not accepted.
[[nodiscard]] bool AcceptAddressText(const QString& text, quint32* networkOrderAddress);

} // namespace tarvex
