#pragma once

#include "appliance/ApplianceRow.h"
#include "net/NeighbourWatch.h"
#include "net/PcNetwork.h"
#include "probe/ProbeRunner.h"
#include "run/CandidateAddresses.h"
#include "run/FoundAddressWatch.h"
#include "run/FreeAddressSearch.h"
#include "run/RandomSource.h"

#include <QByteArray>
#include <QList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace tarvex {

// The free-address searches of one run. Nothing in a search depends on the appliance, only on
// the adapter it was heard on, so the search of every adapter with an appliance that will need
// an address begins as soon as the list can be shown, and its address is ready when the user
// has read the list. One search per adapter at most; the one neighbour watch of the searches
// follows one adapter at a time, so the adapters take their turn in the list's order. Taking an
// adapter's search drops every other one.
//
// An address found is asked again and again from then on (FoundAddressWatch), and given away
// only when that asking shows it free at that moment (confirm). Any sign of life, and the
// adapter is searched again, and the new address watched the same way.
class SearchesAhead {
public:
    using Clock = std::chrono::steady_clock;
    struct Hooks {
        std::function<Clock::time_point()> now;
        // Asked before each search starts; false once the run is over.
        std::function<bool()> mayGoOn;
        // A neighbour table watch of its own for each address found.
        std::function<std::unique_ptr<NeighbourWatch>()> newTableWatch;
        // confirm() waits: recheck() is due after this long.
        std::function<void(std::chrono::milliseconds)> wakeAfter;
        // The address of `network` was lost to a sign of life (nothing), or a new one found.
        std::function<void(const PcNetwork& network, std::optional<Ipv4Address> address)>
            addressChanged;
    };

    SearchesAhead(ProbeRunner& prober, NeighbourWatch& watch, RandomSource& random, Hooks hooks)
        : search_(prober, watch), prober_(prober), watch_(watch), random_(random),
          hooks_(std::move(hooks)) {}
    ~SearchesAhead() { cancel(); }
    SearchesAhead(const SearchesAhead&) = delete;
    SearchesAhead& operator=(const SearchesAhead&) = delete;

    // Queues the adapter of each row not reachable at its own address, and starts the first.
    // An adapter whose candidates cannot be drawn is left to take's caller.
    void begin(const QList<ApplianceRow>& rows);
    // Hands `network`'s search to `done`: at once when it has ended, else when it ends. False,
    // and `done` is dropped, when no search was begun for it, or its result was taken already.
    [[nodiscard]] bool take(const PcNetwork& network, FreeAddressSearch::Done done);
    // A search of `network` now, with candidates drawn by the caller, every other one dropped.
    void run(const PcNetwork& network, const QByteArray& adapter, const CandidateDraw& draw,
             FreeAddressSearch::Done done);
    // Once the search taken has an address free by the watch's rule, hands it to `done` and
    // stops asking; or hands on why none can be had. At once when it can be told now.
    void confirm(FreeAddressSearch::Done done);
    // The wait of confirm() is due.
    void recheck();
    // Drops every search, running or ended: nothing more is sent for them.
    void cancel();

private:
    struct Search {
        PcNetwork network;
        QByteArray adapter; // its name, for the log
        CandidateDraw draw;
        bool started = false;
        Clock::time_point startedAt;
        std::optional<SearchResult> result;
        std::shared_ptr<FoundAddressWatch> watch; // while its address is free
    };
    void startNext();
    void onDone(const SearchResult& result);
    void watchFound(Search& search);
    void onWatchChanged(const std::shared_ptr<FoundAddressWatch>& watch);
    void searchAgain(Search& search);
    void hand(const Search& search, const FreeAddressSearch::Done& done);
    void settleConfirm();
    // Drops every search but `network`'s, logging those thrown away.
    void dropAllBut(const std::optional<PcNetwork>& network);
    void retire(Search& search);

    FreeAddressSearch search_;
    ProbeRunner& prober_;
    NeighbourWatch& watch_;
    RandomSource& random_;
    Hooks hooks_;
    QList<Search> searches_;
    qsizetype running_ = -1;
    // Waits for the running search, which has been taken.
    FreeAddressSearch::Done waiting_;
    bool taken_ = false;
    FreeAddressSearch::Done confirming_;
    // Watches whose address showed life: kept until no handler of theirs can be running.
    QList<std::shared_ptr<FoundAddressWatch>> retired_;
};

} // namespace tarvex
