#pragma once

#include "net/Ipv4Address.h"
#include "net/ResolutionSettings.h"

#include <chrono>
#include <functional>
#include <optional>

namespace tarvex {

// What the kernel's address resolution says of one neighbour.
enum class NeighbourState {
    Resolving, // no entry, or a resolution under way (incomplete): nothing known yet
    Failed,    // the resolution ended without an answer
    Known,     // an answer came: a hardware address was learned, or the entry is fixed
};

struct NeighbourEvent {
    Ipv4Address address;
    NeighbourState state = NeighbourState::Resolving;
    // From the table as it stood when the watch began, not a change seen since: an old failure
    // says nothing of the resolution that an echo sent now starts.
    bool snapshot = false;
    // When it was read, counted from the start of the watch, which is just before the echoes go
    // out; for a failure, when the kernel's resolution failed by the kernel's own account, however
    // late it was read, or 0 when that cannot be told.
    std::chrono::milliseconds sinceStart{0};
};

// Watches the kernel's neighbour table of the interface that carries the PC's address, and
// tells when the wait for failures is over (the settings' waitTime(), plus a margin). Events
// come on the thread that started the watch, from its event loop; nothing blocks it.
class NeighbourWatch {
public:
    struct Handlers {
        std::function<void(const NeighbourEvent& event)> changed;
        std::function<void()> timeUp; // once, waitTime() and a margin after start()
    };

    virtual ~NeighbourWatch() = default;
    // Subscribes to the changes first, then reads the table, so that no change is missed once
    // it returns. The system's errno when the table cannot be watched.
    [[nodiscard]] virtual std::optional<int> start(Ipv4Address adapterAddress,
                                                   Handlers handlers) = 0;
    // The address resolution settings of the interface watched, as start() read them.
    [[nodiscard]] virtual ResolutionSettings settings() const = 0;
    // Ends the watch: no handler is called afterwards.
    virtual void stop() = 0;
};

} // namespace tarvex
