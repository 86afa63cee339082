#include "run/FreeAddressSearch.h"

#include "base/Logging.h"

namespace tarvex {

void FreeAddressSearch::start(const QList<Ipv4Address>& candidates, Ipv4Address adapterAddress,
                              Done done) {
    cancel();
    done_ = std::move(done);
    const std::optional<int> failure =
        watch_.start(adapterAddress, {[this](const NeighbourEvent& event) {
                                          choice_->neighbourChanged(event);
                                          settle();
                                      },
                                      [this] {
                                          choice_->timeUp();
                                          settle();
                                      }});
    if (failure) {
        // Without the table no failed resolution can be seen, so nothing could be taken.
        finish({SearchResult::Kind::WatchImpossible, {}, *failure});
        return;
    }
    const ResolutionSettings settings = watch_.settings();
    if (!settings.asksTheNetwork()) {
        // Every resolution fails at once, without a request: a failure tells nothing.
        qCWarning(lcNet) << "no address can be shown free: the kernel sends no address "
                            "resolution request on this adapter (mcast_solicit is 0)";
        finish({SearchResult::Kind::NoneFree, {}, 0});
        return;
    }
    if (settings.failureCountsAfter() > settings.waitTime()) {
        // The daemon is asked so long before the network that no failure could count in time.
        qCWarning(lcNet) << "no address can be shown free: the kernel asks a daemon for"
                         << settings.daemonTime().count()
                         << "ms before it asks the network (app_solicit is"
                         << settings.daemonRequests << ")";
        finish({SearchResult::Kind::NoneFree, {}, 0});
        return;
    }
    // The handlers above run only from the event loop, once this has returned.
    choice_.emplace(candidates, settings.failureCountsAfter());
    const std::weak_ptr<int> alive = generation_;
    const int generation = *generation_;
    prober_.start(candidates, [this, alive, generation](const QList<ProbeOutcome>& outcomes) {
        const std::shared_ptr<int> current = alive.lock();
        if (!current || *current != generation || !choice_) {
            return;
        }
        for (const ProbeOutcome& outcome : outcomes) {
            if (outcome.status == EchoStatus::Impossible) {
                finish({SearchResult::Kind::ProbingImpossible, {}, outcome.error});
                return;
            }
        }
        choice_->echoesDone(outcomes);
        settle();
    });
}

void FreeAddressSearch::settle() {
    const FreeCandidateChoice::Answer answer = choice_->answer();
    if (answer.verdict == FreeCandidateChoice::Verdict::Free) {
        finish({SearchResult::Kind::Free, answer.address, 0, answer.failedAfter});
    } else if (answer.verdict == FreeCandidateChoice::Verdict::NoneFree) {
        finish({SearchResult::Kind::NoneFree, {}, 0});
    }
}

void FreeAddressSearch::finish(const SearchResult& result) {
    const Done done = std::move(done_);
    cancel();
    if (done) {
        done(result);
    }
}

void FreeAddressSearch::cancel() {
    ++*generation_;
    watch_.stop();
    choice_.reset();
    done_ = {};
}

} // namespace tarvex
