#pragma once

#include "net/ResolutionSettings.h"

#include <chrono>
#include <optional>

namespace tarvex {

// How old the last question to an address may be when the address is given away.
inline constexpr std::chrono::milliseconds kLastQuestionAge{1000};
// What the kernel's timers and the hand-over from one resolution to the next may add to the
// time between two questions and still count as asking without a pause.
inline constexpr std::chrono::milliseconds kQuestionSlack{250};

// Whether an address found free may be given away now. The search showed it silent through
// one resolution that failed; from then on it is asked again and again (each failed resolution
// followed at once by an echo, which starts the next one, so about one question a second). It
// may be given when nothing has ever answered, the asking has gone on without a pause for at
// least kShortestResolutionWait since the first broadcast request of a failed resolution, and
// the last question is at most kLastQuestionAge old: a host that took the address since, or
// answers late, has had the time to show itself. Any sign of life, and it is in use for good.
class FreeAddressEvidence {
public:
    using Clock = std::chrono::steady_clock;

    struct Verdict {
        enum class Kind {
            Free,
            InUse,
            Wait, // ask again at `until`, or at the next event when there is none
        };
        Kind kind = Kind::Wait;
        std::optional<Clock::time_point> until;
        friend bool operator==(const Verdict&, const Verdict&) = default;
    };

    // searchFailedAt: when the resolution that made the search call the address free failed.
    FreeAddressEvidence(const ResolutionSettings& settings, Clock::time_point searchFailedAt);

    // An echo went out to the address: the kernel begins a new resolution at once.
    void resolutionStarted(Clock::time_point at);
    // The kernel's resolution failed at `at`, by its own account.
    void resolutionFailed(Clock::time_point at);
    // An echo reply, or an answer to a resolution however late.
    void lifeSeen() { alive_ = true; }

    [[nodiscard]] Verdict verdict(Clock::time_point now) const;

private:
    // The questions of one resolution: every retransmit interval from its start.
    [[nodiscard]] std::chrono::milliseconds resolutionLength() const;
    [[nodiscard]] std::chrono::milliseconds longestPause() const;

    ResolutionSettings settings_;
    bool alive_ = false;
    // The first broadcast request of the oldest failed resolution asked without a pause since.
    std::optional<Clock::time_point> chainStart_;
    Clock::time_point lastFailure_;
    std::optional<Clock::time_point> currentStart_; // the resolution under way, if any
};

} // namespace tarvex
