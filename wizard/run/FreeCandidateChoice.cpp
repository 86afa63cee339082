#include "run/FreeCandidateChoice.h"

#include "base/Logging.h"

namespace tarvex {

namespace {

// The kernel counts the first interval of a resolution from the tick before the request, so
// its failure may come up to one tick (10 ms at 100 Hz) sooner than the settings say.
constexpr std::chrono::milliseconds kKernelTick{20};

} // namespace

FreeCandidateChoice::FreeCandidateChoice(const QList<Ipv4Address>& candidates,
                                         std::chrono::milliseconds failureCountsAfter)
    : failureCountsAfter_(failureCountsAfter) {
    for (const Ipv4Address address : candidates) {
        candidates_.append({address, std::nullopt, false, false, {}});
    }
}

void FreeCandidateChoice::echoesDone(const QList<ProbeOutcome>& outcomes) {
    for (qsizetype i = 0; i < candidates_.size() && i < outcomes.size(); ++i) {
        candidates_[i].echo = outcomes[i].status;
    }
}

void FreeCandidateChoice::neighbourChanged(const NeighbourEvent& event) {
    for (Candidate& candidate : candidates_) {
        if (candidate.address != event.address) {
            continue;
        }
        // A failure already in the table, or one sooner than a resolution of our own could end,
        // belongs to an older resolution or to one too short to tell.
        const bool counts =
            !event.snapshot && event.sinceStart + kKernelTick >= failureCountsAfter_;
        qCDebug(lcNet) << "candidate" << candidate.address.text() << "resolution"
                       << (event.state == NeighbourState::Known    ? "answered"
                           : event.state == NeighbourState::Failed ? "failed"
                                                                   : "under way")
                       << "after" << event.sinceStart.count() << "ms"
                       << (event.snapshot ? "(already in the table)"
                           : event.state == NeighbourState::Failed && !counts
                               ? "(too soon to count)"
                               : "");
        switch (event.state) {
        case NeighbourState::Known:
            candidate.answered = true;
            break;
        case NeighbourState::Failed:
            if (counts) {
                candidate.failed = true;
                candidate.failedAfter = event.sinceStart;
            }
            break;
        case NeighbourState::Resolving:
            // A new resolution began: only its own end counts.
            if (!event.snapshot) {
                candidate.failed = false;
            }
            break;
        }
    }
}

FreeCandidateChoice::Answer FreeCandidateChoice::answer() const {
    for (const Candidate& candidate : candidates_) {
        if (candidate.answered) {
            continue;
        }
        if (candidate.echo && *candidate.echo != EchoStatus::NoReply) {
            continue; // a reply, or nothing learnt because nothing went out
        }
        if (candidate.echo && candidate.failed) {
            qCDebug(lcNet) << "candidate" << candidate.address.text()
                           << "free: echo sent, no reply, resolution failed";
            return {Verdict::Free, candidate.address, candidate.failedAfter};
        }
        if (!timeUp_) {
            return {}; // undecided, and every later one has to wait for it
        }
    }
    return {Verdict::NoneFree, {}};
}

} // namespace tarvex
