#pragma once

#include <functional>

namespace tarvex {

// The line of pages as the setup run sees it. Every call that leaves Step 4 closes it; the run
// stops at once afterwards and sends or writes nothing more.
class RunFlow {
public:
    virtual ~RunFlow() = default;
    // Shows Step 3 afresh, then closes Step 4.
    virtual void showSetupModePage() = 0;
    // Asks "Are you sure of exiting program?" and returns at once; OK closes Step 4 and ends the
    // program. `done` learns later whether the program ended.
    virtual void confirmExit(std::function<void(bool programEnded)> done) = 0;
    // Closes Step 4 and ends the program, without asking.
    virtual void endProgram() = 0;
    // Whether the program has ended, by any of the calls above or from a page of its own
    // (the device list's Exit, a window's close box).
    [[nodiscard]] virtual bool programEnded() const = 0;
};

} // namespace tarvex
