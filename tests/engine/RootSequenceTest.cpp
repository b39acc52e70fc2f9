#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "PlainReference.h"

using NBEngine::RootSequence;
using NBEngine::TruncToInt32;

namespace {

std::vector<int> Draw(int seed, int count, int low, int span) {
    RootSequence generator = NBTest::Seeded(seed);
    std::vector<int> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(generator.Next(low, span));
    }
    return values;
}

struct KnownSequence {
    int seed;
    int low;
    int span;
    std::vector<int> values;
};

void PrintTo(const KnownSequence& known, std::ostream* out) {
    *out << "seed " << known.seed;
}

class KnownSequences : public testing::TestWithParam<KnownSequence> {};

TEST_P(KnownSequences, FirstValuesMatch) {
    const KnownSequence& known = GetParam();
    EXPECT_EQ(Draw(known.seed, static_cast<int>(known.values.size()), known.low, known.span),
              known.values);
}

INSTANTIATE_TEST_SUITE_P(Generator, KnownSequences,
                         testing::Values(KnownSequence{0, 1, 16, {6, 6, 16, 6, 14, 1, 14, 4}},
                                         KnownSequence{19, 1, 4, {2, 1, 4, 2, 3, 4, 4, 3}},
                                         KnownSequence{97, 0, 127, {126, 85, 103, 47, 49, 78}},
                                         // the body generator of the plain file abc
                                         KnownSequence{1560, 1, 16, {2, 11, 1}}));

TEST(RootSequence, SeedSetsStateAndClearsHistory) {
    RootSequence generator;
    generator.Seed(0);
    for (int i = 0; i < 8; ++i) {
        generator.Next(1, 16);
    }
    EXPECT_EQ(generator.state, 2469);
    generator.Seed(19);
    EXPECT_EQ(generator.state, 5697);
    RootSequence fresh;
    fresh.state = 5697;
    EXPECT_TRUE(NBTest::SameGenerator(generator, fresh));
    generator.Seed(1560);
    EXPECT_EQ(generator.state, 7238);
}

TEST(RootSequence, OffsetJumpsToWholeNumbersAfterCall1428) {
    RootSequence generator = NBTest::Seeded(1800);
    for (int call = 1; call <= 1428; ++call) {
        const int value = generator.Next(1, 16);
        ASSERT_TRUE(value >= 1 && value <= 18) << "call " << call << ": " << value;
    }
    EXPECT_LT(generator.offset, 0.1);
    for (int jump = 1; jump <= 3; ++jump) {
        const int value = generator.Next(1, 16);
        EXPECT_EQ(generator.offset, jump);
        EXPECT_TRUE(value >= 16 * jump + 1 && value <= 16 * jump + 16) << value;
    }
}

TEST(RootSequence, FirstCallNeverTakesASpareBucket) {
    for (int seed : {0, 19, 97, 1536, 2240, -128}) {
        RootSequence generator = NBTest::Seeded(seed);
        generator.Next(1, 16);
        EXPECT_EQ(generator.maxCount, 1) << "seed " << seed;
    }
}

TEST(RootSequence, PerfectSquareStateStepsFromSevenTimesItsValue) {
    EXPECT_EQ(NBEngine::RootFraction(3721), std::sqrt(26047.0) - 161.0);
    RootSequence square;
    square.Seed(3721 - 5678); // state 3721 = 61 * 61
    ASSERT_EQ(square.state, 3721);
    square.Next(1, 16);
    EXPECT_EQ(square.state, TruncToInt32((std::sqrt(26047.0) - 161.0) * 10000.0));
}

TEST(RootSequence, StateZeroReturnsInsteadOfSpinning) {
    RootSequence generator;
    generator.Seed(4322); // 4322 + 5678 = 10000
    ASSERT_EQ(generator.state, 0);
    EXPECT_EQ(NBEngine::RootFraction(0), 0.0);
    generator.Next(1, 255); // must return
}

TEST(RootSequence, SpareSlotPrefersTheCloserLessUsedBucketBelow) {
    RootSequence generator;
    generator.Seed(0);
    for (int& count : generator.counts) {
        count = 15;
    }
    generator.counts[50] = 25;
    generator.maxCount = 25;
    EXPECT_EQ(generator.SpareSlot(50), 50) << "no bucket is used 11 times less";
    generator.counts[60] = 5;
    EXPECT_EQ(generator.SpareSlot(50), 60);
    generator.counts[40] = 6;
    EXPECT_EQ(generator.SpareSlot(50), 60) << "below must be strictly less used";
    generator.counts[45] = 4;
    EXPECT_EQ(generator.SpareSlot(50), 45);
}

TEST(TruncToInt32, TruncatesTowardZeroAndSaturatesToMinimum) {
    struct Case {
        double value;
        std::int32_t expected;
    };
    const Case cases[] = {
        {0.0, 0},
        {1.9, 1},
        {-1.9, -1},
        {2147483647.0, 2147483647},
        {2147483647.9, 2147483647},
        {2147483648.0, INT32_MIN},
        {-2147483648.0, INT32_MIN},
        {-2147483648.9, INT32_MIN},
        {-2147483649.0, INT32_MIN},
        {1e300, INT32_MIN},
        {std::numeric_limits<double>::infinity(), INT32_MIN},
        {std::numeric_limits<double>::quiet_NaN(), INT32_MIN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TruncToInt32(c.value), c.expected) << c.value;
    }
}

TEST(RootSequence, ValuesLeaveThe32BitRangeAfterAbout134MillionCalls) {
    // The offset grows by one per call: span 16 passes 2^31 near call 134.2 M.
    RootSequence generator = NBTest::Seeded(2000);
    generator.offset = 134217725.0;
    generator.total = 134217725.0;
    EXPECT_GT(generator.Next(1, 16), 2147483600);
    generator.Next(1, 16);
    EXPECT_EQ(generator.Next(1, 16), INT32_MIN);
}

} // namespace
