#pragma once

#include "net/Ipv4Address.h"
#include "net/NeighbourWatch.h"
#include "probe/ProbeRunner.h"
#include "run/FreeAddressEvidence.h"

#include <functional>
#include <memory>
#include <optional>

namespace tarvex {

// Keeps asking for an address that a search found free, until it is given away or no longer
// needed: an echo at once, and another each time the kernel's resolution that it started fails,
// so the network hears about one question a second. What it hears is weighed by
// FreeAddressEvidence.
class FoundAddressWatch {
public:
    using Clock = FreeAddressEvidence::Clock;

    // changed: something was learnt (a failure, a question, a sign of life); called later, from
    // the event loop, never inside start().
    FoundAddressWatch(ProbeRunner& prober, std::unique_ptr<NeighbourWatch> table,
                      std::function<Clock::time_point()> now, std::function<void()> changed);
    ~FoundAddressWatch();
    FoundAddressWatch(const FoundAddressWatch&) = delete;
    FoundAddressWatch& operator=(const FoundAddressWatch&) = delete;

    // searchFailedAt: when the resolution that showed the address silent failed. The system's
    // errno when the table cannot be watched.
    [[nodiscard]] std::optional<int> start(Ipv4Address address, Ipv4Address adapterAddress,
                                           const ResolutionSettings& settings,
                                           Clock::time_point searchFailedAt);
    [[nodiscard]] Ipv4Address address() const { return address_; }
    [[nodiscard]] FreeAddressEvidence::Verdict verdict() const;
    // Nothing more is asked or reported; safe inside one of its own reports.
    void stop();

private:
    void ask();
    void learnt();

    ProbeRunner& prober_;
    std::unique_ptr<NeighbourWatch> table_;
    std::function<Clock::time_point()> now_;
    std::function<void()> changed_;
    Ipv4Address address_;
    Clock::time_point startedAt_;
    std::optional<FreeAddressEvidence> evidence_;
    // An echo's answer that comes after the watch has gone is dropped.
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

} // namespace tarvex
