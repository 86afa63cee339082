#pragma once

#include "net/Ipv4Address.h"
#include "net/NeighbourWatch.h"
#include "probe/ProbeRunner.h"
#include "run/FreeCandidateChoice.h"

#include <QList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace tarvex {

struct SearchResult {
    enum class Kind {
        Free,     // `address` is free
        NoneFree, // every candidate is in use, or could not be tested, or no failure can tell
        ProbingImpossible, // no echo could be sent at all (`error`)
        WatchImpossible,   // the neighbour table cannot be watched (`error`)
    };
    Kind kind = Kind::NoneFree;
    Ipv4Address address;
    int error = 0;
    // For a free address: when the resolution that showed it silent failed, from the start.
    std::chrono::milliseconds failedAfter{0};
};

// The free-address search: every candidate's echo at once, the neighbour table watched from
// just before they go out, and the first free candidate in drawn order (FreeCandidateChoice)
// reported as soon as it is decided, at the latest when a failure could last count. When the
// kernel asks nobody (mcast_solicit 0), or asks a daemon so long first (app_solicit) that no
// failure could count within the wait, nothing can be decided: no candidate is free.
class FreeAddressSearch {
public:
    using Done = std::function<void(const SearchResult& result)>;

    FreeAddressSearch(ProbeRunner& prober, NeighbourWatch& watch)
        : prober_(prober), watch_(watch) {}
    ~FreeAddressSearch() { cancel(); }
    FreeAddressSearch(const FreeAddressSearch&) = delete;
    FreeAddressSearch& operator=(const FreeAddressSearch&) = delete;

    // `done` is called once, later (or at once when the table cannot be watched), on this
    // thread. A search still running is dropped first.
    void start(const QList<Ipv4Address>& candidates, Ipv4Address adapterAddress, Done done);
    // Drops the search: `done` is never called.
    void cancel();

private:
    void settle();
    void finish(const SearchResult& result);

    ProbeRunner& prober_;
    NeighbourWatch& watch_;
    std::optional<FreeCandidateChoice> choice_;
    Done done_;
    // A probe batch of a search that was dropped, or of this object once gone, is ignored.
    std::shared_ptr<int> generation_ = std::make_shared<int>(0);
};

} // namespace tarvex
