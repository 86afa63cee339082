#include "run/AddressRecheck.h"

#include "base/Logging.h"

namespace tarvex {

void AddressRecheck::start(Ipv4Address address, Ipv4Address adapterAddress, Done done) {
    cancel();
    done_ = std::move(done);
    const std::optional<int> failure = watch_.start(
        adapterAddress, {[this, address](const NeighbourEvent& event) {
                             if (event.address == address && event.state == NeighbourState::Known) {
                                 qCDebug(lcNet) << "address" << address.text()
                                                << "answered its resolution since the search";
                                 finish(false);
                             }
                         },
                         [] {
                         }});
    if (failure) {
        finish(false);
        return;
    }
    const std::weak_ptr<int> alive = generation_;
    const int generation = *generation_;
    prober_.start({address}, [this, alive, generation](const QList<ProbeOutcome>& outcomes) {
        const std::shared_ptr<int> current = alive.lock();
        if (!current || *current != generation || !done_) {
            return;
        }
        const ProbeOutcome outcome = outcomes.value(0);
        // Only an echo that went out and met silence keeps the address free.
        finish(outcome.status == EchoStatus::NoReply);
    });
}

void AddressRecheck::finish(bool stillFree) {
    const Done done = std::move(done_);
    done_ = {};
    ++*generation_;
    watch_.stop();
    if (done) {
        done(stillFree);
    }
}

void AddressRecheck::cancel() {
    ++*generation_;
    if (done_) {
        watch_.stop();
    }
    done_ = {};
}

} // namespace tarvex
