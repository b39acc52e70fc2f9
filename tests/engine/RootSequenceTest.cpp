#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"

using NBEngine::RootSequence;
using NBEngine::TruncToInt32;

namespace {

TEST(RootSequence, FirstValuesOfKnownSeeds) {
    struct Case {
        int seed;
        int low;
        int span;
        std::vector<int> values;
    };
    const Case cases[] = {
        {0, 1, 16, {6, 6, 16, 6, 14, 1, 14, 4}},
        {19, 1, 4, {2, 1, 4, 2, 3, 4, 4, 3}},
        {97, 0, 127, {126, 85, 103, 47, 49, 78}}, // the key table's filler
        {1560, 1, 16, {2, 11, 1}},                // the body of the plain file "abc"
    };
    for (const Case& c : cases) {
        RootSequence generator = NBTest::Seeded(c.seed);
        std::vector<int> values;
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            values.push_back(generator.Next(c.low, c.span));
        }
        EXPECT_EQ(values, c.values) << "seed " << c.seed;
    }
}

TEST(RootSequence, StateZeroReturnsInsteadOfSpinning) {
    RootSequence generator = NBTest::Seeded(4322); // 4322 + 5678 = 10000
    ASSERT_EQ(generator.state, 0);
    EXPECT_EQ(NBEngine::RootFraction(0), 0.0);
    generator.Next(1, 255); // must return
    EXPECT_EQ(generator.state, 0) << "state 0 has no root to step from";
}

TEST(TruncToInt32, TruncatesTowardZeroAndSaturatesToMinimum) {
    struct Case {
        double value;
        std::int32_t expected;
    };
    const Case cases[] = {
        {1.9, 1},
        {-1.9, -1},
        {2147483647.9, 2147483647},
        {2147483648.0, INT32_MIN},
        {-2147483648.9, INT32_MIN},
        {-2147483649.0, INT32_MIN},
        {std::numeric_limits<double>::infinity(), INT32_MIN},
        {std::numeric_limits<double>::quiet_NaN(), INT32_MIN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TruncToInt32(c.value), c.expected) << c.value;
    }
}

} // namespace
