#include "run/FoundAddressWatch.h"

#include "base/Logging.h"

namespace tarvex {

FoundAddressWatch::FoundAddressWatch(ProbeRunner& prober, std::unique_ptr<NeighbourWatch> table,
                                     std::function<Clock::time_point()> now,
                                     std::function<void()> changed)
    : prober_(prober), table_(std::move(table)), now_(std::move(now)),
      changed_(std::move(changed)) {}

FoundAddressWatch::~FoundAddressWatch() {
    stop();
}

void FoundAddressWatch::stop() {
    table_->stop();
    alive_ = std::make_shared<const bool>(true);
    changed_ = {};
}

std::optional<int> FoundAddressWatch::start(Ipv4Address address, Ipv4Address adapterAddress,
                                            const ResolutionSettings& settings,
                                            Clock::time_point searchFailedAt) {
    address_ = address;
    startedAt_ = now_();
    evidence_.emplace(settings, searchFailedAt);
    const std::optional<int> failure = table_->start(
        adapterAddress, {[this](const NeighbourEvent& event) {
                             if (event.address != address_) {
                                 return;
                             }
                             if (event.state == NeighbourState::Known) {
                                 qCWarning(lcNet) << "found address" << address_.text()
                                                  << "answered its resolution: in use";
                                 evidence_->lifeSeen();
                             } else if (event.state == NeighbourState::Failed && !event.snapshot) {
                                 evidence_->resolutionFailed(startedAt_ + event.sinceStart);
                                 ask();
                             } else {
                                 return;
                             }
                             learnt();
                         },
                         [] {
                             // Only the search waits for an end; this watch lasts as needed.
                         }});
    if (failure) {
        return failure;
    }
    ask();
    return std::nullopt;
}

void FoundAddressWatch::ask() {
    evidence_->resolutionStarted(now_());
    prober_.start({address_}, [this, alive = std::weak_ptr<const bool>(alive_)](
                                  const QList<ProbeOutcome>& outcomes) {
        if (alive.expired()) {
            return;
        }
        const ProbeOutcome outcome = outcomes.value(0);
        if (outcome.status == EchoStatus::NoReply) {
            return;
        }
        // A reply is life; an echo that could not go out asks nothing, and what is not asked
        // cannot be shown free.
        qCWarning(lcNet) << "found address" << address_.text()
                         << "echo:" << EchoStatusName(outcome.status)
                         << "- no longer taken as free";
        evidence_->lifeSeen();
        learnt();
    });
}

void FoundAddressWatch::learnt() {
    if (verdict().kind == FreeAddressEvidence::Verdict::Kind::InUse) {
        // Nothing more is asked of an address in use.
        table_->stop();
        alive_ = std::make_shared<const bool>(true);
    }
    if (const std::function<void()> changed = changed_) {
        changed();
    }
}

FreeAddressEvidence::Verdict FoundAddressWatch::verdict() const {
    return evidence_ ? evidence_->verdict(now_())
                     : FreeAddressEvidence::Verdict{FreeAddressEvidence::Verdict::Kind::InUse,
                                                    std::nullopt};
}

} // namespace tarvex
