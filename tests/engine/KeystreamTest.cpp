// The keystream must give the low bytes of RootSequence::Next(1, 16) exactly,
// however it is drawn, and leave the same generator behind.

#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "Keystream.h"
#include "TestSupport.h"

using NBEngine::Keystream;
using NBEngine::RootSequence;
using NBTest::Seeded;

namespace {

// Draws count values from a keystream made at start in pieces of uneven sizes,
// the 128-value pieces through XorBlock on zeros (which leaves value + key
// byte), compares each with Next, and returns the generator Next leaves.
RootSequence ExpectMatches(const RootSequence& start, std::uint64_t count, bool tables) {
    static const std::size_t pieceSizes[] = {1, 127, 128, 4096, 3, 1000, 128, 65536, 128};
    NBEngine::KeyTable key;
    NBEngine::DeriveKey("password", key);
    RootSequence plain = start;
    Keystream keystream(start);
    EXPECT_EQ(keystream.UsesTables(), tables);
    std::vector<std::uint8_t> values(65536);
    for (std::uint64_t done = 0, round = 0; done < count; ++round) {
        const std::size_t piece = static_cast<std::size_t>(
            std::min<std::uint64_t>(pieceSizes[round % std::size(pieceSizes)], count - done));
        const bool asBlock = piece == key.size();
        if (asBlock) {
            std::fill(values.begin(), values.begin() + piece, std::uint8_t{0});
            keystream.XorBlock(values.data(), piece, key);
        } else {
            keystream.Fill(values.data(), piece);
        }
        for (std::size_t i = 0; i < piece; ++i, ++done) {
            const auto expected =
                static_cast<std::uint32_t>(plain.Next(1, 16)) + (asBlock ? key[i] : 0);
            if (values[i] != static_cast<std::uint8_t>(expected)) {
                ADD_FAILURE() << "first difference at value " << done;
                return plain;
            }
        }
    }
    EXPECT_TRUE(NBTest::SameGenerator(keystream.Generator(), plain));
    return plain;
}

TEST(Keystream, EveryBodySeedMatchesNextOver50000Values) {
    // A body seed is the sum of 32 hexadecimal characters: 1536 to 2240.
    for (int seed = 1536; seed <= 2240; ++seed) {
        SCOPED_TRACE(seed);
        ExpectMatches(Seeded(seed), 50000, true);
    }
}

struct Start {
    const char* name;
    RootSequence generator;
    bool tables;
    std::uint64_t count;
};

std::vector<Start> StartsToTry() {
    RootSequence pastJump = Seeded(1800);
    for (int i = 0; i < 5000; ++i) {
        pastJump.Next(1, 16);
    }
    // An offset that never jumps to whole numbers within the search: no tables,
    // Next itself must serve.
    RootSequence neverJumps = Seeded(2000);
    neverJumps.total = neverJumps.offset = -1.0e6;
    // Seeds 1539, 2000 and 1900 have circles of 100, 300 and 13 300 calls; their
    // runs pass 2^31, where every value truncates to INT32_MIN.
    return {{"state 0, which never leaves 0", Seeded(4322), true, 200000},
            {"perfect square state", Seeded(3721 - 5678), true, 200000},
            {"key table filler seed", Seeded(97), true, 200000},
            {"already past the offset jump", pastJump, true, 200000},
            {"offset that never jumps", neverJumps, false, 200000},
            {"circle of 100", Seeded(1539), true, 140000000},
            {"circle of 300", Seeded(2000), true, 140000000},
            {"circle of 13300", Seeded(1900), true, 140000000}};
}

void PrintTo(const Start& start, std::ostream* out) {
    *out << start.name;
}

class Starts : public testing::TestWithParam<Start> {};

TEST_P(Starts, MatchNextAndHandBackItsGeneratorAroundTheCircle) {
    const Start& start = GetParam();
    std::uint64_t count = start.count;
#if defined(__SANITIZE_ADDRESS__)
    count = std::min<std::uint64_t>(count, 1000000); // the optimised builds run them all
#endif
    RootSequence after = ExpectMatches(start.generator, count, start.tables);
    if (count > 134300000) {
        EXPECT_EQ(after.Next(1, 16), INT32_MIN) << "the run did not reach the 32-bit limit";
    }
    const Keystream keystream(start.generator);
    // Drawn in one go up to each edge of the recorded values and the circle.
    const std::uint64_t recorded = std::max<std::uint64_t>(keystream.RecordedLength(), 1);
    const std::uint64_t period = keystream.Period();
    for (std::uint64_t edge : {std::uint64_t{0}, std::uint64_t{1}, recorded - 1, recorded,
                               recorded + 1, recorded + period, recorded + 7 * period + 5}) {
        Keystream part(start.generator);
        std::vector<std::uint8_t> values(edge);
        part.Fill(values.data(), values.size());
        RootSequence expected = start.generator;
        for (std::uint64_t i = 0; i < edge; ++i) {
            expected.Next(1, 16);
        }
        EXPECT_EQ(part.Taken(), edge);
        EXPECT_TRUE(NBTest::SameGenerator(part.Generator(), expected)) << edge << " values";
    }
}

INSTANTIATE_TEST_SUITE_P(Keystream, Starts, testing::ValuesIn(StartsToTry()));

} // namespace
