#pragma once

#include "base/ProgramEnd.h"

namespace tarvex::testing {

// Counts how often the program was ended instead of ending the test program.
class RecordingProgramEnd final : public ProgramEnd {
public:
    void endProgram(int /*status*/) override { ++count_; }
    [[nodiscard]] int count() const { return count_; }

private:
    int count_ = 0;
};

} // namespace tarvex::testing
