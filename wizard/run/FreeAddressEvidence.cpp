#include "run/FreeAddressEvidence.h"

#include <algorithm>

namespace tarvex {

FreeAddressEvidence::FreeAddressEvidence(const ResolutionSettings& settings,
                                         Clock::time_point searchFailedAt)
    : settings_(settings) {
    resolutionFailed(searchFailedAt);
}

std::chrono::milliseconds FreeAddressEvidence::resolutionLength() const {
    // Clamped counts and interval: the product fits easily in 64 bits.
    return (settings_.multicastRequests + settings_.daemonRequests) * settings_.retransmit;
}

std::chrono::milliseconds FreeAddressEvidence::longestPause() const {
    return std::max(settings_.retransmit, kLastQuestionAge) + kQuestionSlack;
}

void FreeAddressEvidence::resolutionStarted(Clock::time_point at) {
    if (!currentStart_) {
        currentStart_ = at;
    }
}

void FreeAddressEvidence::resolutionFailed(Clock::time_point at) {
    // By the kernel's account, which is more exact than when the echo was handed on.
    const Clock::time_point start = at - resolutionLength();
    const Clock::time_point firstBroadcast =
        at - settings_.multicastRequests * settings_.retransmit;
    const bool unbroken =
        chainStart_ && start - (lastFailure_ - settings_.retransmit) <= longestPause();
    if (!unbroken) {
        chainStart_ = firstBroadcast;
    }
    lastFailure_ = at;
    currentStart_.reset();
}

FreeAddressEvidence::Verdict FreeAddressEvidence::verdict(Clock::time_point now) const {
    using Kind = Verdict::Kind;
    if (alive_) {
        return {Kind::InUse, std::nullopt};
    }
    Clock::time_point lastQuestion = lastFailure_ - settings_.retransmit;
    if (currentStart_) {
        if (*currentStart_ - lastQuestion > longestPause()) {
            // A pause: the asking counts anew from the resolution under way, once it fails.
            return {Kind::Wait, std::nullopt};
        }
        const auto asked = std::max(now - *currentStart_, Clock::duration::zero());
        const auto questions =
            std::min<qint64>(asked / settings_.retransmit,
                             settings_.multicastRequests + settings_.daemonRequests - 1);
        lastQuestion = *currentStart_ + std::max<qint64>(questions, 0) * settings_.retransmit;
    } else if (now - lastQuestion > longestPause()) {
        return {Kind::Wait, std::nullopt}; // nothing asked since: the next echo starts anew
    }
    if (now - *chainStart_ < kShortestResolutionWait) {
        return {Kind::Wait, *chainStart_ + kShortestResolutionWait};
    }
    if (now - lastQuestion > kLastQuestionAge) {
        // The next question of the resolution under way; past its last, its failure is next.
        const Clock::time_point next = lastQuestion + settings_.retransmit;
        return {Kind::Wait, currentStart_ && next > now ? std::optional(next) : std::nullopt};
    }
    return {Kind::Free, std::nullopt};
}

} // namespace tarvex
