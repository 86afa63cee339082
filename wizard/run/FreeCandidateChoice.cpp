#include "run/FreeCandidateChoice.h"

#include "modules/Logging.h"

namespace tarvex {

FreeCandidateChoice::FreeCandidateChoice(const QList<Ipv4Address>& candidates) {
    for (const Ipv4Address address : candidates) {
        candidates_.append({address, std::nullopt, false, false});
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
        qCDebug(lcNet) << "candidate" << candidate.address.text() << "resolution"
                       << (event.state == NeighbourState::Known    ? "answered"
                           : event.state == NeighbourState::Failed ? "failed"
                                                                   : "under way")
                       << (event.snapshot ? "(already in the table)" : "");
        switch (event.state) {
        case NeighbourState::Known:
            candidate.answered = true;
            break;
        case NeighbourState::Failed:
            // A failure already in the table belongs to an older resolution.
            candidate.failed = candidate.failed || !event.snapshot;
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
            return {Verdict::Free, candidate.address};
        }
        if (!timeUp_) {
            return {}; // undecided, and every later one has to wait for it
        }
    }
    return {Verdict::NoneFree, {}};
}

} // namespace tarvex
