#pragma once

#include "run/RandomSource.h"

#include <random>

namespace tarvex {

// The program's random source for the free-address search, seeded from the clock.
class ClockSeededRandom final : public RandomSource {
public:
    ClockSeededRandom();

    [[nodiscard]] float nextUniform() override;

private:
    std::mt19937 engine_;
    std::uniform_real_distribution<float> distribution_{0.0f, 1.0f};
};

} // namespace tarvex
