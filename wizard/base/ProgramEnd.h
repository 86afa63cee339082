#pragma once

namespace tarvex {

// The one way the program ends once its event loop runs: the wizard's last page, its close box,
// the setup run and the command line's scan all end it here, with the program's exit status.
// The program quits its event loop; tests record the call.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    virtual void endProgram(int status) = 0;
};

} // namespace tarvex
