#include "run/ClockSeededRandom.h"

#include <chrono>

namespace tarvex {

ClockSeededRandom::ClockSeededRandom()
    : engine_(static_cast<std::mt19937::result_type>(
          std::chrono::system_clock::now().time_since_epoch().count())) {}

float ClockSeededRandom::nextUniform() {
    // The float distribution can itself round up to 1, which callers are promised never to see.
    for (;;) {
        const float u = distribution_(engine_);
        if (u < 1.0f) {
            return u;
        }
    }
}

} // namespace tarvex
