#include "run/SearchesAhead.h"

#include "base/Logging.h"

#include <algorithm>

namespace tarvex {
namespace {

QString adapterText(const PcNetwork& network) {
    return network.address ? network.address->text() : QStringLiteral("(none)");
}

} // namespace

void SearchesAhead::begin(const QList<ApplianceRow>& rows) {
    retired_.clear();
    for (const ApplianceRow& row : rows) {
        const bool known =
            std::any_of(searches_.cbegin(), searches_.cend(),
                        [&row](const Search& search) { return search.network == row.network; });
        if (row.reachable() || known) {
            continue;
        }
        CandidateDraw draw = DrawCandidates(row.network, random_);
        if (draw.problem != CandidateProblem::None || draw.candidates.isEmpty()) {
            continue;
        }
        searches_.append({row.network, row.adapter, std::move(draw), false, {}, std::nullopt, {}});
    }
    startNext();
}

void SearchesAhead::startNext() {
    if (running_ >= 0 || !hooks_.mayGoOn()) {
        return;
    }
    const auto next = std::find_if(searches_.begin(), searches_.end(),
                                   [](const Search& search) { return !search.started; });
    if (next == searches_.end()) {
        return;
    }
    running_ = next - searches_.begin();
    next->started = true;
    next->startedAt = hooks_.now();
    qCDebug(lcRun) << "address search started for adapter" << next->adapter
                   << adapterText(next->network) << (taken_ ? "" : "while the list is read");
    search_.start(next->draw.candidates, next->draw.pcAddress,
                  [this](const SearchResult& result) { onDone(result); });
}

void SearchesAhead::onDone(const SearchResult& result) {
    Search& search = searches_[running_];
    running_ = -1;
    search.result = result;
    qCDebug(lcRun) << "address search ended for adapter" << search.adapter
                   << adapterText(search.network) << "after"
                   << std::chrono::duration_cast<std::chrono::milliseconds>(hooks_.now() -
                                                                            search.startedAt)
                          .count()
                   << "ms";
    if (result.kind == SearchResult::Kind::Free) {
        watchFound(search);
    }
    if (waiting_) {
        const FreeAddressSearch::Done done = std::move(waiting_);
        waiting_ = {};
        dropAllBut(PcNetwork(search.network));
        taken_ = true;
        hand(searches_.front(), done);
        return;
    }
    if (taken_) {
        // Searched again after the address taken showed life.
        const SearchResult found = *search.result;
        if (found.kind == SearchResult::Kind::Free && hooks_.addressChanged) {
            hooks_.addressChanged(search.network, found.address);
        }
        settleConfirm();
        return;
    }
    startNext();
}

void SearchesAhead::watchFound(Search& search) {
    auto self = std::make_shared<std::weak_ptr<FoundAddressWatch>>();
    auto watch =
        std::make_shared<FoundAddressWatch>(prober_, hooks_.newTableWatch(), hooks_.now,
                                            [this, self] { onWatchChanged(self->lock()); });
    *self = watch;
    const std::optional<int> failure =
        watch->start(search.result->address, search.draw.pcAddress, watch_.settings(),
                     search.startedAt + search.result->failedAfter);
    if (failure) {
        // What cannot be watched cannot be shown free when it is given.
        search.result = SearchResult{SearchResult::Kind::WatchImpossible, {}, *failure, {}};
        return;
    }
    search.watch = std::move(watch);
}

void SearchesAhead::onWatchChanged(const std::shared_ptr<FoundAddressWatch>& watch) {
    const auto found =
        std::find_if(searches_.begin(), searches_.end(),
                     [&watch](const Search& search) { return watch && search.watch == watch; });
    if (found == searches_.end()) {
        return;
    }
    if (watch->verdict().kind == FreeAddressEvidence::Verdict::Kind::InUse) {
        qCWarning(lcRun) << "found address" << watch->address().text() << "showed life: the adapter"
                         << found->adapter << "is searched again";
        retire(*found);
        if (taken_ && hooks_.addressChanged) {
            hooks_.addressChanged(found->network, std::nullopt);
        }
        searchAgain(*found);
        return;
    }
    settleConfirm();
}

void SearchesAhead::searchAgain(Search& search) {
    search.result.reset();
    search.started = false;
    search.draw = DrawCandidates(search.network, random_);
    if (search.draw.problem != CandidateProblem::None || search.draw.candidates.isEmpty()) {
        search.started = true;
        search.result = SearchResult{};
        settleConfirm();
        return;
    }
    startNext();
}

void SearchesAhead::hand(const Search& search, const FreeAddressSearch::Done& done) {
    qCDebug(lcRun) << "address search of adapter" << search.adapter << adapterText(search.network)
                   << "used";
    const SearchResult result = *search.result;
    done(result);
}

bool SearchesAhead::take(const PcNetwork& network, FreeAddressSearch::Done done) {
    retired_.clear();
    dropAllBut(network);
    if (searches_.isEmpty()) {
        return false;
    }
    Search& search = searches_.front();
    if (search.result) {
        taken_ = true;
        hand(search, done);
        return true;
    }
    qCDebug(lcRun) << "waiting for the rest of the address search of adapter" << search.adapter;
    // Set first: a search that cannot watch the table ends inside start().
    waiting_ = std::move(done);
    startNext();
    return true;
}

void SearchesAhead::run(const PcNetwork& network, const QByteArray& adapter,
                        const CandidateDraw& draw, FreeAddressSearch::Done done) {
    cancel();
    searches_.append({network, adapter, draw, false, {}, std::nullopt, {}});
    waiting_ = std::move(done);
    startNext();
}

void SearchesAhead::confirm(FreeAddressSearch::Done done) {
    retired_.clear();
    confirming_ = std::move(done);
    settleConfirm();
}

void SearchesAhead::recheck() {
    retired_.clear();
    settleConfirm();
}

void SearchesAhead::settleConfirm() {
    if (!confirming_ || searches_.isEmpty() || !searches_.front().result) {
        return; // nothing asked, or searched again and not yet found
    }
    Search& search = searches_.front();
    const SearchResult result = *search.result;
    if (result.kind == SearchResult::Kind::Free) {
        const FreeAddressEvidence::Verdict verdict = search.watch->verdict();
        if (verdict.kind == FreeAddressEvidence::Verdict::Kind::Wait) {
            if (verdict.until && hooks_.wakeAfter) {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(*verdict.until - hooks_.now());
                hooks_.wakeAfter(std::max(left, std::chrono::milliseconds(1)));
            }
            return;
        }
        if (verdict.kind == FreeAddressEvidence::Verdict::Kind::InUse) {
            return; // searched again once its watch has told
        }
        qCDebug(lcRun) << "found address" << result.address.text()
                       << "given: silent through the asking up to now";
    }
    const FreeAddressSearch::Done done = std::move(confirming_);
    // Nothing more is asked once the address is given, or none can be.
    cancel();
    done(result);
}

void SearchesAhead::retire(Search& search) {
    if (search.watch) {
        search.watch->stop();
        retired_.append(std::move(search.watch));
        search.watch.reset();
    }
}

void SearchesAhead::dropAllBut(const std::optional<PcNetwork>& network) {
    for (qsizetype i = searches_.size() - 1; i >= 0; --i) {
        Search& search = searches_[i];
        if (network && search.network == *network) {
            continue;
        }
        if (search.started) {
            qCDebug(lcRun) << "address search of adapter" << search.adapter
                           << adapterText(search.network)
                           << (search.result ? "thrown away" : "stopped and thrown away");
        }
        retire(search);
        if (i == running_) {
            search_.cancel();
            running_ = -1;
        } else if (i < running_) {
            --running_;
        }
        searches_.removeAt(i);
    }
}

void SearchesAhead::cancel() {
    dropAllBut(std::nullopt);
    waiting_ = {};
    confirming_ = {};
    taken_ = false;
}

} // namespace tarvex
