#pragma once
// The format's deterministic number generator. Every operation, including the
// order and rounding of the double arithmetic, is part of the container format.

#include <cstdint>

namespace NBEngine {

// Truncation toward zero to a signed 32-bit value; values that do not fit
// (and NaN) become INT32_MIN, as the SSE2 conversion does.
std::int32_t TruncToInt32(double value);

struct RootSequence {
    static constexpr int bucketCount = 100;

    std::int32_t maxCount = 0;
    std::int32_t state = 0;
    std::int32_t counts[bucketCount] = {};
    double offset = 0.0;
    double total = 0.0;

    void Seed(std::int32_t seed);
    std::int32_t Next(std::int32_t low, std::int32_t span);
    int SpareSlot(int bucket) const;

    // Next without its last step, for a root fraction the caller already has
    // (RootFraction(state)): moves histogram, state and offset on and returns
    // what Next adds to the offset, the fraction or the spare-bucket sum.
    double Advance(double fraction);
};

// Fractional part of the square root of the first non-square in
// state, 7 * state, 49 * state, ... State 0 has none (nor has a negative
// state, which no seed of the format reaches); it gives 0 there instead of
// looping for ever.
double RootFraction(std::int32_t state);

} // namespace NBEngine
