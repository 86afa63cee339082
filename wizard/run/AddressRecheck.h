#pragma once

#include "net/Ipv4Address.h"
#include "net/NeighbourWatch.h"
#include "probe/ProbeRunner.h"

#include <functional>
#include <memory>

namespace tarvex {

// Tests once more, right before it is given away, an address that a search found free a while
// ago: one echo, and the neighbour table watched meanwhile. A reply, or the table knowing the
// address (an answer seen since the search, which saw none), and it is in use. When nothing can
// be tested it counts as in use too, so that a new search tells why.
class AddressRecheck {
public:
    using Done = std::function<void(bool stillFree)>;

    AddressRecheck(ProbeRunner& prober, NeighbourWatch& watch) : prober_(prober), watch_(watch) {}
    ~AddressRecheck() { cancel(); }
    AddressRecheck(const AddressRecheck&) = delete;
    AddressRecheck& operator=(const AddressRecheck&) = delete;

    // `done` is called once, later (or at once when the table cannot be watched).
    void start(Ipv4Address address, Ipv4Address adapterAddress, Done done);
    // Drops the check: `done` is never called.
    void cancel();

private:
    void finish(bool stillFree);

    ProbeRunner& prober_;
    NeighbourWatch& watch_;
    Done done_;
    std::shared_ptr<int> generation_ = std::make_shared<int>(0);
};

} // namespace tarvex
