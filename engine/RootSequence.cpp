#include "RootSequence.h"

#include <cmath>

namespace NBEngine {

namespace {
constexpr double offsetStep = 0.00007;
constexpr double offsetLimit = 0.1;
} // namespace

std::int32_t TruncToInt32(double value) {
    // The comparisons fail for NaN as well.
    if (value > -2147483649.0 && value < 2147483648.0) {
        return static_cast<std::int32_t>(value);
    }
    return INT32_MIN;
}

double RootFraction(std::int32_t state) {
    if (state <= 0) {
        return 0.0;
    }
    std::int64_t b = state;
    for (;;) {
        double root = std::sqrt(static_cast<double>(b));
        std::int64_t whole = TruncToInt32(root);
        double fraction = root - std::sqrt(static_cast<double>(whole * whole));
        if (fraction != 0.0) {
            return fraction;
        }
        b = 7 * b;
    }
}

void RootSequence::Seed(std::int32_t seed) {
    offset = 0.0;
    total = 0.0;
    maxCount = 0;
    for (std::int32_t& count : counts) {
        count = 0;
    }
    state = static_cast<std::int32_t>((static_cast<std::int64_t>(seed) + 5678) % 10000);
}

int RootSequence::SpareSlot(int bucket) const {
    const std::int32_t limit = counts[bucket] - 10;
    int candidate = bucket;
    std::int32_t candidateCount = limit;
    for (int j = bucket; j < bucketCount; ++j) {
        if (counts[j] < limit) {
            candidate = j;
            candidateCount = counts[j];
            break;
        }
    }
    for (int k = bucket; k >= 0; --k) {
        if (counts[k] < limit && counts[k] < candidateCount) {
            return k;
        }
    }
    return candidate;
}

double RootSequence::Advance(double fraction) {
    offset = offset + offsetStep;
    if (offset > offsetLimit) {
        total = total + 1.0;
        offset = total;
    }

    const int bucket = TruncToInt32(fraction * 100.0);
    if (counts[bucket] == maxCount) {
        const int spare = SpareSlot(bucket);
        if (spare != bucket) {
            counts[spare] += 1;
            state = TruncToInt32(fraction * 10000.0);
            return spare / 100.0 + fraction / 100.0;
        }
    }

    counts[bucket] += 1;
    if (counts[bucket] > maxCount) {
        maxCount = counts[bucket];
    }
    state = TruncToInt32(fraction * 10000.0);
    return fraction;
}

std::int32_t RootSequence::Next(std::int32_t low, std::int32_t span) {
    const double addend = Advance(RootFraction(state));
    return TruncToInt32((addend + offset) * static_cast<double>(span) + static_cast<double>(low));
}

} // namespace NBEngine
