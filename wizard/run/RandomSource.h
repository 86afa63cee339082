#pragma once

namespace tarvex {

// Where the free-address search draws its numbers from; tests choose them.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Uniform in [0, 1), single precision.
    [[nodiscard]] virtual float nextUniform() = 0;
};

} // namespace tarvex
