#pragma once

#include "appliance/ApplianceRow.h"
#include "net/NeighbourWatch.h"
#include "net/PcNetwork.h"
#include "probe/ProbeRunner.h"
#include "run/CandidateAddresses.h"
#include "run/FreeAddressSearch.h"
#include "run/RandomSource.h"

#include <QByteArray>
#include <QList>
#include <chrono>
#include <functional>
#include <optional>

namespace tarvex {

// The free-address searches of one run. Nothing in a search depends on the appliance, only on
// the adapter it was heard on, so the search of every adapter with an appliance that will need
// an address begins as soon as the list can be shown, and its address is ready when the user
// has read the list. One search per adapter at most; the one neighbour watch follows one adapter
// at a time, so the adapters take their turn in the list's order. Taking an adapter's search
// drops every other one.
class SearchesAhead {
public:
    using Clock = std::chrono::steady_clock;

    // mayGoOn: asked before each search starts; false once the run is over.
    SearchesAhead(ProbeRunner& prober, NeighbourWatch& watch, RandomSource& random,
                  std::function<Clock::time_point()> now, std::function<bool()> mayGoOn)
        : search_(prober, watch), watch_(watch), random_(random), now_(std::move(now)),
          mayGoOn_(std::move(mayGoOn)) {}

    // Queues the adapter of each row not reachable at its own address, and starts the first.
    // An adapter whose candidates cannot be drawn is left to take's caller.
    void begin(const QList<ApplianceRow>& rows);
    // Hands `network`'s search to `done`: at once when it has ended, else when it ends. False,
    // and `done` is dropped, when no search was begun for it, or its result was taken already.
    [[nodiscard]] bool take(const PcNetwork& network, FreeAddressSearch::Done done);
    // A search of `network` now, with candidates drawn by the caller, every other one dropped.
    void run(const PcNetwork& network, const QByteArray& adapter, const CandidateDraw& draw,
             FreeAddressSearch::Done done);
    // Drops every search, running or ended: nothing more is sent for them.
    void cancel();

    // When the search last handed over began, and the settings it ran under.
    [[nodiscard]] Clock::time_point handedStart() const { return handedStart_; }
    [[nodiscard]] const ResolutionSettings& handedSettings() const { return handedSettings_; }

private:
    struct Search {
        PcNetwork network;
        QByteArray adapter; // its name, for the log
        CandidateDraw draw;
        bool started = false;
        Clock::time_point startedAt;
        ResolutionSettings settings;
        std::optional<SearchResult> result;
    };
    void startNext();
    void onDone(const SearchResult& result);
    void hand(const Search& search, const FreeAddressSearch::Done& done);
    // Drops every search but `network`'s, logging those thrown away.
    void dropAllBut(const std::optional<PcNetwork>& network);

    FreeAddressSearch search_;
    NeighbourWatch& watch_;
    RandomSource& random_;
    std::function<Clock::time_point()> now_;
    std::function<bool()> mayGoOn_;
    QList<Search> searches_;
    qsizetype running_ = -1;
    // Waits for the running search, which has been taken.
    FreeAddressSearch::Done waiting_;
    Clock::time_point handedStart_;
    ResolutionSettings handedSettings_;
};

} // namespace tarvex
