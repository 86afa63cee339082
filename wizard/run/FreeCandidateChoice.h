#pragma once

#include "net/Ipv4Address.h"
#include "net/NeighbourWatch.h"
#include "probe/Prober.h"

#include <QList>
#include <chrono>
#include <optional>

namespace tarvex {

// Which candidate of one search is free, from the echo outcomes and the kernel's address
// resolution. A candidate is free only when its echo went out, nothing answered it, and the
// resolution that the echo started ended in failure: a host that drops echoes still answers
// the resolution, perhaps late. A failure counts only when it comes `failureCountsAfter` or
// later after the echoes went out: an earlier one ended a resolution begun before them, or one
// too short to wait for a slow host. Any sign of life until the decision overrules a failure.
// The first free candidate in drawn order is the answer as soon as every one before it is known
// to be in use; at the time-out, whatever is still undecided counts as in use.
class FreeCandidateChoice {
public:
    enum class Verdict { Waiting, Free, NoneFree };
    struct Answer {
        Verdict verdict = Verdict::Waiting;
        Ipv4Address address; // the free candidate
        // When its failed resolution that counted ended, from the start of the search.
        std::chrono::milliseconds failedAfter{0};
        friend bool operator==(const Answer&, const Answer&) = default;
    };

    FreeCandidateChoice(const QList<Ipv4Address>& candidates,
                        std::chrono::milliseconds failureCountsAfter);

    // One outcome per candidate, in the order drawn.
    void echoesDone(const QList<ProbeOutcome>& outcomes);
    void neighbourChanged(const NeighbourEvent& event);
    void timeUp() { timeUp_ = true; }

    [[nodiscard]] Answer answer() const;

private:
    struct Candidate {
        Ipv4Address address;
        std::optional<EchoStatus> echo;
        bool answered = false; // the resolution answered at some time: in use for good
        bool failed = false;   // the latest resolution seen ended in failure
        std::chrono::milliseconds failedAfter{0};
    };
    QList<Candidate> candidates_;
    std::chrono::milliseconds failureCountsAfter_;
    bool timeUp_ = false;
};

} // namespace tarvex
