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
        searches_.append({row.network, row.adapter, std::move(draw), false, {}, {}, std::nullopt});
    }
    startNext();
}

void SearchesAhead::startNext() {
    if (running_ >= 0 || !mayGoOn_()) {
        return;
    }
    const auto next = std::find_if(searches_.begin(), searches_.end(),
                                   [](const Search& search) { return !search.started; });
    if (next == searches_.end()) {
        return;
    }
    running_ = next - searches_.begin();
    next->started = true;
    next->startedAt = now_();
    qCDebug(lcRun) << "address search started for adapter" << next->adapter
                   << adapterText(next->network) << "while the list is read";
    search_.start(next->draw.candidates, next->draw.pcAddress,
                  [this](const SearchResult& result) { onDone(result); });
}

void SearchesAhead::onDone(const SearchResult& result) {
    Search& search = searches_[running_];
    running_ = -1;
    search.settings = watch_.settings();
    search.result = result;
    qCDebug(lcRun)
        << "address search ended for adapter" << search.adapter << adapterText(search.network)
        << "after"
        << std::chrono::duration_cast<std::chrono::milliseconds>(now_() - search.startedAt).count()
        << "ms";
    if (waiting_) {
        const FreeAddressSearch::Done done = std::move(waiting_);
        waiting_ = {};
        const Search taken = search;
        searches_.clear();
        hand(taken, done);
        return;
    }
    startNext();
}

void SearchesAhead::hand(const Search& search, const FreeAddressSearch::Done& done) {
    handedStart_ = search.startedAt;
    handedSettings_ = search.settings;
    qCDebug(lcRun) << "address search of adapter" << search.adapter << adapterText(search.network)
                   << "used";
    done(*search.result);
}

bool SearchesAhead::take(const PcNetwork& network, FreeAddressSearch::Done done) {
    dropAllBut(network);
    if (searches_.isEmpty()) {
        return false;
    }
    Search& search = searches_.front();
    if (search.result) {
        const Search taken = search;
        searches_.clear();
        hand(taken, done);
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
    searches_.append({network, adapter, draw, false, {}, {}, std::nullopt});
    waiting_ = std::move(done);
    startNext();
}

void SearchesAhead::dropAllBut(const std::optional<PcNetwork>& network) {
    for (qsizetype i = searches_.size() - 1; i >= 0; --i) {
        const Search& search = searches_[i];
        if (network && search.network == *network) {
            continue;
        }
        if (search.started) {
            qCDebug(lcRun) << "address search of adapter" << search.adapter
                           << adapterText(search.network)
                           << (search.result ? "thrown away" : "stopped and thrown away");
        }
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
}

} // namespace tarvex
