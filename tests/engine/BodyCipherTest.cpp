#include <algorithm>
#include <iterator>

#include <gtest/gtest.h>

#include "BodyCipher.h"
#include "Keystream.h"
#include "PlainReference.h"
#include "RecordingJobLink.h"
#include "TestFiles.h"

using NBEngine::JobState;
using NBEngine::RootSequence;
using NBEngine::TransformFile;
using NBTest::Bytes;

namespace {

constexpr int abcSeed = 1560;
constexpr std::size_t blocksPerChunk = NBEngine::cipherChunkSize / 128;

class BodyCipherTest : public testing::Test {
protected:
    NBTest::TempDir dir;
    NBTest::RecordingJobLink link;
    JobState state;

    void SetUp() override { ASSERT_TRUE(NBEngine::DeriveKey("password", state.keyTable)); }

    // Transforms input into a new output with a generator seeded with seed.
    bool Transform(const std::string& input, const std::string& output, int seed) {
        RootSequence generator;
        generator.Seed(seed);
        return TransformFile(input, output, generator, state, link);
    }

    // The progress values shown during one pass over length bytes.
    std::vector<int> ProgressOfPass(bool verify, int start, std::int32_t writeOffset,
                                    std::int32_t plainSize, std::size_t length) {
        link = NBTest::RecordingJobLink();
        link.options[NBEngine::Option::Verify] = verify;
        link.progress = start;
        NBTest::WriteBytes(dir.File("in"), NBTest::PatternBytes(length));
        NBTest::Remove(dir.File("out"));
        state.plainSize = plainSize;
        state.writeOffset = writeOffset;
        EXPECT_TRUE(Transform(dir.File("in"), dir.File("out"), abcSeed));
        return link.progressHistory;
    }

    Bytes EncryptBytes(const Bytes& plain, int seed) {
        NBTest::WriteBytes(dir.File("plain"), plain);
        state.plainSize = static_cast<std::int32_t>(plain.size());
        EXPECT_TRUE(Transform(dir.File("plain"), dir.File("body"), seed));
        const Bytes body = NBTest::ReadBytes(dir.File("body"));
        NBTest::Remove(dir.File("body"));
        return body;
    }
};

TEST_F(BodyCipherTest, AbcUsesTheFirstThreeGeneratorValues) {
    const Bytes body = EncryptBytes({'a', 'b', 'c'}, abcSeed);
    const auto& k = state.keyTable;
    EXPECT_EQ(body, (Bytes{static_cast<std::uint8_t>(0x61 ^ ((2 + k[0]) & 0xFF)),
                           static_cast<std::uint8_t>(0x62 ^ ((11 + k[1]) & 0xFF)),
                           static_cast<std::uint8_t>(0x63 ^ ((1 + k[2]) & 0xFF))}));
}

TEST_F(BodyCipherTest, BodiesEqualThePlainPathAroundBlockChunkAndCircleBoundaries) {
    RootSequence seeded;
    seeded.Seed(abcSeed);
    const NBEngine::Keystream probe(seeded);
    const std::size_t circleStart = probe.RecordedLength();
    const std::size_t period = probe.Period();
    const std::size_t chunk = blocksPerChunk * 128;
    const std::size_t lengths[] = {
        0, 1, 127, 128, 129, 1427, 1428, 1429, 1430, 1431, 4096, circleStart - 1, circleStart,
        circleStart + 1, circleStart + period - 1, circleStart + period, circleStart + period + 1,
        chunk - 1, chunk, chunk + 1, chunk + 128, 2 * chunk + 77,
        // offsets 2^12 - 1 and 2^17 - 1 sit on the last call before 2^12 + 1428
        // and 2^17 + 1428
        4096 + 1428, 131072 + 1428};
    for (std::size_t length : lengths) {
        const Bytes plain = NBTest::PatternBytes(length, static_cast<unsigned>(length));
        ASSERT_EQ(EncryptBytes(plain, abcSeed),
                  NBTest::PlainTransform(plain, abcSeed, state.keyTable))
            << "length " << length;
    }
}

TEST_F(BodyCipherTest, LeavesTheGeneratorAsOneNextCallPerByteWould) {
    const Bytes plain = NBTest::PatternBytes(100000);
    NBTest::WriteBytes(dir.File("plain"), plain);
    state.plainSize = static_cast<std::int32_t>(plain.size());
    RootSequence generator;
    generator.Seed(abcSeed);
    ASSERT_TRUE(TransformFile(dir.File("plain"), dir.File("body"), generator, state, link));
    RootSequence expected;
    expected.Seed(abcSeed);
    NBTest::PlainTransform(plain, expected, state.keyTable);
    EXPECT_EQ(generator.state, expected.state);
    EXPECT_EQ(generator.maxCount, expected.maxCount);
    EXPECT_EQ(generator.total, expected.total);
    EXPECT_EQ(generator.offset, expected.offset);
    EXPECT_TRUE(std::equal(std::begin(generator.counts), std::end(generator.counts),
                           std::begin(expected.counts)));
}

TEST_F(BodyCipherTest, TransformIsItsOwnInverse) {
    for (std::size_t length :
         {1u, 2u, 127u, 128u, 129u, 255u, 256u, 300u, 1427u, 1428u, 1429u, 1430u, 4096u, 100000u}) {
        const Bytes plain = NBTest::PatternBytes(length, static_cast<unsigned>(length));
        const Bytes body = EncryptBytes(plain, 1536 + static_cast<int>(length % 700));
        EXPECT_NE(body, plain) << length;
        NBTest::WriteBytes(dir.File("cipher"), body);
        ASSERT_TRUE(
            Transform(dir.File("cipher"), dir.File("back"), 1536 + static_cast<int>(length % 700)));
        EXPECT_EQ(NBTest::ReadBytes(dir.File("back")), plain) << length;
        NBTest::Remove(dir.File("back"));
    }
}

TEST_F(BodyCipherTest, ReadsFromReadOffsetAndAppendsBehindWriteOffset) {
    NBTest::WriteBytes(dir.File("in"), Bytes{'H', 'H', 'x', 'y', 'z'});
    NBTest::WriteBytes(dir.File("out"), Bytes{'P', 'P', 'P'});
    state.readOffset = 2;
    state.writeOffset = 3;
    state.plainSize = 3;
    ASSERT_TRUE(Transform(dir.File("in"), dir.File("out"), abcSeed));
    const Bytes out = NBTest::ReadBytes(dir.File("out"));
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[0], 'P');
    const auto& k = state.keyTable;
    EXPECT_EQ(out[3], static_cast<std::uint8_t>('x' ^ ((2 + k[0]) & 0xFF)));
}

TEST_F(BodyCipherTest, ProgressMovesOnlyWhenTheShownValueChanges) {
    struct Case {
        bool verify;
        int start;
        std::int32_t writeOffset;
        std::size_t length;
        std::vector<int> history;
    };
    const Case cases[] = {
        // A multiple of 128 ends with a round that reads nothing and shows
        // nothing new.
        {false, 10, 0, 256, {55, 100}},
        {true, 10, 0, 256, {32, 55}},
        {true, 55, 0, 128, {77}},
        // The output offset includes a header: tiny files clamp at once.
        {false, 10, 216, 3, {100}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgressOfPass(c.verify, c.start, c.writeOffset,
                                 static_cast<std::int32_t>(c.length), c.length),
                  c.history)
            << c.length << " verify " << c.verify;
    }
}

TEST_F(BodyCipherTest, ProgressShowsEveryValueThePlainPathShows) {
    struct Case {
        const char* name;
        bool verify;
        int start;
        std::int32_t writeOffset;
        std::int32_t plainSize; // -1: the length
        std::size_t length;
    };
    const std::size_t large = 3 * blocksPerChunk * 128 + 77;
    const Case cases[] = {
        {"encryption, Check off", false, 10, 216, -1, large},
        {"encryption, Check on", true, 10, 216, -1, large},
        {"verification pass", true, 55, 0, -1, large},
        {"a few blocks", false, 10, 0, -1, 5000},
        {"size field smaller than the body", false, 10, 0, 1000, large},
        {"size field 0", false, 10, 0, 0, 1000},
        // position / size * 100 passes 2^31 midway: the value drops to the
        // truncation's INT32_MIN, and the bar goes from 0 to 100 and back.
        {"value leaving the 32-bit range", false, 0, 21474836 - 1000, 1, 3000},
    };
    for (const Case& c : cases) {
        const std::int32_t plainSize =
            c.plainSize < 0 ? static_cast<std::int32_t>(c.length) : c.plainSize;
        const std::vector<int> history =
            ProgressOfPass(c.verify, c.start, c.writeOffset, plainSize, c.length);
        const int end = c.verify ? c.start + (100 - c.start) / 2 : 100;
        EXPECT_EQ(history,
                  NBTest::PlainProgressChanges({plainSize, c.start, end, c.writeOffset, c.length}))
            << c.name;
        EXPECT_LE(history.size(), 101u) << c.name;
    }
}

TEST_F(BodyCipherTest, StopEndsAfterTheCurrentBlockWithSuccess) {
    const Bytes plain = NBTest::PatternBytes(1000);
    NBTest::WriteBytes(dir.File("in"), plain);
    state.plainSize = 1000;
    link.onProgress = [this](int) {
        if (link.progressHistory.size() == 2) {
            link.running = false;
        }
    };
    ASSERT_TRUE(Transform(dir.File("in"), dir.File("out"), abcSeed));
    EXPECT_EQ(NBTest::ReadBytes(dir.File("out")).size(), 256u);
}

// Clears running at a given look at it, as a STOP pressed at that moment.
class StoppingLink : public NBTest::RecordingJobLink {
public:
    explicit StoppingLink(std::size_t stopAtLook) : stopAtLook(stopAtLook) {}
    bool IsRunning() override { return ++looks < stopAtLook; }
    std::size_t looks = 0;

private:
    std::size_t stopAtLook;
};

TEST_F(BodyCipherTest, StopInsideAChunkKeepsExactlyTheBlocksDone) {
    const Bytes plain = NBTest::PatternBytes(2 * blocksPerChunk * 128 + 300);
    NBTest::WriteBytes(dir.File("in"), plain);
    state.plainSize = static_cast<std::int32_t>(plain.size());
    const Bytes whole = NBTest::PlainTransform(plain, abcSeed, state.keyTable);
    for (std::size_t stopAt : {std::size_t{1}, std::size_t{2}, blocksPerChunk, blocksPerChunk + 1,
                               blocksPerChunk + 1000, 2 * blocksPerChunk + 3}) {
        StoppingLink stopping(stopAt);
        RootSequence generator;
        generator.Seed(abcSeed);
        NBTest::Remove(dir.File("out"));
        ASSERT_TRUE(TransformFile(dir.File("in"), dir.File("out"), generator, state, stopping))
            << "stop at block " << stopAt;
        const std::size_t kept = std::min(stopAt * 128, plain.size());
        EXPECT_EQ(stopping.looks, stopAt) << "one look per block";
        EXPECT_EQ(NBTest::ReadBytes(dir.File("out")),
                  Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(kept)))
            << "stop at block " << stopAt;
        RootSequence expected;
        expected.Seed(abcSeed);
        for (std::size_t i = 0; i < kept; ++i) {
            expected.Next(1, 16);
        }
        EXPECT_EQ(generator.state, expected.state) << "stop at block " << stopAt;
        EXPECT_EQ(generator.total, expected.total) << "stop at block " << stopAt;
    }
}

TEST_F(BodyCipherTest, FileErrorsFail) {
    NBTest::WriteBytes(dir.File("in"), NBTest::PatternBytes(1000));
    state.plainSize = 1000;
    EXPECT_FALSE(Transform(dir.File("in"), dir.Path(), abcSeed)) << "output is a folder";
    EXPECT_FALSE(Transform(dir.Path(), dir.File("out"), abcSeed)) << "input is a folder";
#ifndef _WIN32
    EXPECT_FALSE(Transform(dir.File("in"), "/dev/full", abcSeed)) << "writing fails";
#endif
}

TEST_F(BodyCipherTest, MissingInputFailsButCreatesTheOutput) {
    state.plainSize = 10;
    EXPECT_FALSE(Transform(dir.File("missing"), dir.File("out"), abcSeed));
    EXPECT_TRUE(NBTest::Exists(dir.File("out")));
}

TEST(ProgressAt, DegenerateTotalsStayInsideInt) {
    EXPECT_EQ(NBEngine::ProgressAt(50, 100, 10, 100), 55);
    EXPECT_LT(NBEngine::ProgressAt(128, 0, 10, 100), 0) << "division by zero saturates low";
    EXPECT_LT(NBEngine::ProgressAt(128, -5, 10, 100), 0);
    EXPECT_EQ(NBEngine::ProgressAt(std::int64_t{1} << 40, 1, 10, 100), 10 + INT32_MIN);
}

} // namespace
