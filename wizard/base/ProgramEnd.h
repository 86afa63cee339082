#pragma once

namespace tarvex {

// The one way the wizard ends. The program quits its event loop; tests record the call.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    virtual void endProgram() = 0;
};

} // namespace tarvex
