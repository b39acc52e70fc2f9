// The keystream must give the low bytes of RootSequence::Next(1, 16) exactly,
// however it is drawn, and leave the same generator behind.

#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "Keystream.h"
#include "PlainReference.h"

using NBEngine::Keystream;
using NBEngine::RootSequence;

namespace {

constexpr int firstBodySeed = 1536;
constexpr int lastBodySeed = 2240;
using NBTest::Seeded;

std::uint8_t LowByte(std::int32_t value) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
}

NBEngine::KeyTable CountingKey() {
    NBEngine::KeyTable key;
    for (std::size_t i = 0; i < key.size(); ++i) {
        key[i] = static_cast<std::uint8_t>(3 * i + 1);
    }
    return key;
}

// Draws count values in pieces of uneven sizes, the 128-value pieces through
// XorBlock on zeros (which leaves value + key byte), and compares each with
// Next of plain; returns the index of the first difference, or count.
std::uint64_t FirstDifference(Keystream& keystream, RootSequence& plain, std::uint64_t count) {
    static const std::size_t pieceSizes[] = {1, 127, 128, 4096, 3, 1000, 128, 65536, 128};
    static const NBEngine::KeyTable key = CountingKey();
    std::vector<std::uint8_t> values(65536);
    std::uint64_t done = 0;
    for (std::size_t round = 0; done < count; ++round) {
        const std::size_t piece = static_cast<std::size_t>(
            std::min<std::uint64_t>(pieceSizes[round % std::size(pieceSizes)], count - done));
        const bool asBlock = piece == key.size();
        if (asBlock) {
            std::fill(values.begin(), values.begin() + key.size(), std::uint8_t{0});
            keystream.XorBlock(values.data(), piece, key);
        } else {
            keystream.Fill(values.data(), piece);
        }
        for (std::size_t i = 0; i < piece; ++i) {
            const std::uint8_t expected = LowByte(plain.Next(1, 16));
            const std::uint8_t added = asBlock ? key[i] : 0;
            if (values[i] != static_cast<std::uint8_t>(expected + added)) {
                return done + i;
            }
        }
        done += piece;
    }
    return count;
}

class BodySeedGroup : public testing::TestWithParam<int> {};

TEST_P(BodySeedGroup, EverySeedMatchesNextOver50000ValuesAndUsesTables) {
    constexpr std::uint64_t count = 50000;
    const int first = GetParam();
    const int last = std::min(first + 63, lastBodySeed);
    for (int seed = first; seed <= last; ++seed) {
        RootSequence plain = Seeded(seed);
        Keystream keystream(plain);
        EXPECT_TRUE(keystream.UsesTables()) << "seed " << seed << " found no repeat";
        ASSERT_EQ(FirstDifference(keystream, plain, count), count) << "seed " << seed;
        EXPECT_TRUE(NBTest::SameGenerator(keystream.Generator(), plain)) << "seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(Keystream, BodySeedGroup,
                         testing::Range(firstBodySeed, lastBodySeed + 1, 64));

struct OddStart {
    const char* name;
    RootSequence generator;
    bool tables;
};

void PrintTo(const OddStart& start, std::ostream* out) {
    *out << start.name;
}

RootSequence Advanced(int seed, int calls) {
    RootSequence generator = Seeded(seed);
    for (int i = 0; i < calls; ++i) {
        generator.Next(1, 16);
    }
    return generator;
}

RootSequence WithNegativeTotal() {
    // The offset then never jumps to whole numbers within the search, so
    // no tables can be built and Next itself must serve.
    RootSequence generator = Seeded(2000);
    generator.total = -1.0e6;
    generator.offset = -1.0e6;
    return generator;
}

class OddStarts : public testing::TestWithParam<OddStart> {};

TEST_P(OddStarts, MatchNextWithOrWithoutTables) {
    constexpr std::uint64_t count = 200000;
    RootSequence plain = GetParam().generator;
    Keystream keystream(plain);
    EXPECT_EQ(keystream.UsesTables(), GetParam().tables);
    ASSERT_EQ(FirstDifference(keystream, plain, count), count);
    EXPECT_TRUE(NBTest::SameGenerator(keystream.Generator(), plain));
}

INSTANTIATE_TEST_SUITE_P(
    Keystream, OddStarts,
    testing::Values(OddStart{"state 0, which never leaves 0", Seeded(4322), true},
                    OddStart{"negative state", Seeded(-9000), true},
                    OddStart{"perfect square state", Seeded(3721 - 5678), true},
                    OddStart{"key table filler seed", Seeded(97), true},
                    OddStart{"already past the offset jump", Advanced(1800, 5000), true},
                    OddStart{"offset that never jumps", WithNegativeTotal(), false}));

// Seeds whose circles are 100, 300 and 13 300 calls long.
class LongRun : public testing::TestWithParam<int> {};

TEST_P(LongRun, Matches140MillionValuesPastThe32BitLimit) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "140 million plain generator calls take too long under the sanitizers; "
                    "the optimised builds run this";
#endif
    constexpr std::uint64_t count = 140000000;
    RootSequence plain = Seeded(GetParam());
    Keystream keystream(plain);
    ASSERT_EQ(FirstDifference(keystream, plain, count), count);
    EXPECT_TRUE(NBTest::SameGenerator(keystream.Generator(), plain));
    EXPECT_EQ(plain.Next(1, 16), INT32_MIN) << "the run did not reach the 32-bit limit";
}

INSTANTIATE_TEST_SUITE_P(Keystream, LongRun, testing::Values(1539, 2000, 1900));

TEST(Keystream, GeneratorAfterAnyCountEqualsThatManyNextCalls) {
    // The long runs above are meant to cover every circle length.
    for (const auto& [seed, circle] : {std::pair{1539, 100}, {2000, 300}, {1900, 13300}}) {
        const Keystream probe(Seeded(seed));
        EXPECT_EQ(probe.Period(), static_cast<std::size_t>(circle)) << "seed " << seed;
        const std::uint64_t recorded = probe.RecordedLength();
        const std::uint64_t period = probe.Period();
        for (std::uint64_t count :
             {std::uint64_t{0}, std::uint64_t{1}, recorded - 1, recorded, recorded + 1,
              recorded + period, recorded + 7 * period + 5, std::uint64_t{1000003}}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << count << " values");
            Keystream keystream(Seeded(seed));
            std::vector<std::uint8_t> values(count);
            keystream.Fill(values.data(), values.size());
            RootSequence plain = Seeded(seed);
            for (std::uint64_t i = 0; i < count; ++i) {
                plain.Next(1, 16);
            }
            EXPECT_EQ(keystream.Taken(), count);
            EXPECT_TRUE(NBTest::SameGenerator(keystream.Generator(), plain));
        }
    }
}

} // namespace
