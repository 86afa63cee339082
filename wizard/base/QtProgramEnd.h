#pragma once

#include "base/ProgramEnd.h"

namespace tarvex {

// Ends the real program: leaves every running event loop, the modal ones included, so that
// main() returns the status and the windows still open are destroyed without their handlers
// running.
class QtProgramEnd final : public ProgramEnd {
public:
    void endProgram(int status) override;
};

} // namespace tarvex
