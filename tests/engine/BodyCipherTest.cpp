#include <algorithm>

#include <gtest/gtest.h>

#include "BodyCipher.h"
#include "Keystream.h"
#include "PlainReference.h"
#include "RecordingJobLink.h"
#include "TestFiles.h"

using NBEngine::RootSequence;
using NBTest::Bytes;
using NBTest::Seeded;

namespace {

constexpr int abcSeed = 1560;
constexpr std::size_t blocksPerChunk = NBEngine::cipherChunkSize / 128;

class BodyCipherTest : public testing::Test {
protected:
    NBTest::TempDir dir;
    NBTest::RecordingJobLink link;
    NBEngine::JobState state;

    void SetUp() override { ASSERT_TRUE(NBEngine::DeriveKey("password", state.keyTable)); }

    bool Transform(const std::string& input, const std::string& output, RootSequence& generator,
                   NBEngine::JobLink& through) {
        return NBEngine::TransformFile(input, output, generator, state, through);
    }
    bool Transform(const std::string& input, const std::string& output, int seed) {
        RootSequence generator = Seeded(seed);
        return Transform(input, output, generator, link);
    }
};

TEST_F(BodyCipherTest, BodiesEqualThePlainPathAndUndoThemselvesAroundEveryBoundary) {
    const std::size_t chunk = blocksPerChunk * 128;
    // 1560 is the body of "abc"; 1900 has the longest circle, starting late.
    for (int seed : {abcSeed, 1900}) {
        const NBEngine::Keystream probe(Seeded(seed));
        const std::size_t circle = probe.RecordedLength();
        const std::size_t period = probe.Period();
        // Offsets 2^12 - 1 and 2^17 - 1 sit on the last call before 2^12 + 1428
        // and 2^17 + 1428.
        for (std::size_t length : {std::size_t{0},
                                   std::size_t{1},
                                   std::size_t{127},
                                   std::size_t{128},
                                   std::size_t{129},
                                   std::size_t{1427},
                                   std::size_t{1428},
                                   std::size_t{1429},
                                   std::size_t{1430},
                                   std::size_t{1431},
                                   std::size_t{4096},
                                   circle - 1,
                                   circle,
                                   circle + 1,
                                   circle + period - 1,
                                   circle + period,
                                   circle + period + 1,
                                   chunk - 1,
                                   chunk,
                                   chunk + 1,
                                   chunk + 128,
                                   2 * chunk + 77,
                                   std::size_t{4096 + 1428},
                                   std::size_t{131072 + 1428}}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", length " << length);
            const Bytes plain = NBTest::PatternBytes(length, static_cast<unsigned>(length));
            NBTest::WriteBytes(dir.File("plain"), plain);
            state.plainSize = static_cast<std::int32_t>(length);
            RootSequence generator = Seeded(seed);
            ASSERT_TRUE(Transform(dir.File("plain"), dir.File("body"), generator, link));
            RootSequence expected = Seeded(seed);
            ASSERT_EQ(NBTest::ReadBytes(dir.File("body")),
                      NBTest::PlainTransform(plain, expected, state.keyTable));
            EXPECT_TRUE(NBTest::SameGenerator(generator, expected)) << "one Next call per byte";
            ASSERT_TRUE(Transform(dir.File("body"), dir.File("back"), seed));
            ASSERT_EQ(NBTest::ReadBytes(dir.File("back")), plain);
            NBTest::Remove(dir.File("body"));
            NBTest::Remove(dir.File("back"));
        }
    }
}

TEST_F(BodyCipherTest, ReadsFromReadOffsetAndAppendsBehindWriteOffset) {
    NBTest::WriteBytes(dir.File("in"), Bytes{'H', 'H', 'x', 'y', 'z'});
    NBTest::WriteBytes(dir.File("out"), Bytes{'P', 'P', 'P'});
    state.readOffset = 2;
    state.writeOffset = 3;
    state.plainSize = 3;
    ASSERT_TRUE(Transform(dir.File("in"), dir.File("out"), abcSeed));
    RootSequence generator = Seeded(abcSeed);
    Bytes expected{'P', 'P', 'P'};
    for (std::uint8_t b : NBTest::PlainTransform({'x', 'y', 'z'}, generator, state.keyTable)) {
        expected.push_back(b);
    }
    EXPECT_EQ(NBTest::ReadBytes(dir.File("out")), expected);
}

TEST_F(BodyCipherTest, ProgressShowsEveryValueThePlainPathShowsAndOnlyChanges) {
    struct Case {
        const char* name;
        bool verify;
        int start;
        std::int32_t writeOffset;
        std::int32_t plainSize; // -1: the length
        std::size_t length;
        std::vector<int> known; // checked as well when given
    };
    const std::size_t large = 3 * blocksPerChunk * 128 + 77;
    const Case cases[] = {
        // A multiple of 128 ends with a round that reads nothing and shows
        // nothing new.
        {"two blocks", false, 10, 0, -1, 256, {55, 100}},
        {"two blocks, Check on", true, 10, 0, -1, 256, {32, 55}},
        {"verification of one block", true, 55, 0, -1, 128, {77}},
        {"header offset clamps a tiny file at once", false, 10, 216, -1, 3, {100}},
        {"encryption, Check off", false, 10, 216, -1, large, {}},
        {"encryption, Check on", true, 10, 216, -1, large, {}},
        {"verification pass", true, 55, 0, -1, large, {}},
        {"a few blocks", false, 10, 0, -1, 5000, {}},
        {"size field smaller than the body", false, 10, 0, 1000, large, {}},
        {"size field 0", false, 10, 0, 0, 1000, {}},
        // position / size * 100 passes 2^31 midway: the value drops to the
        // truncation's INT32_MIN, and the bar goes from 0 to 100 and back.
        {"value leaving the 32-bit range", false, 0, 21474836 - 1000, 1, 3000, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::int32_t plainSize =
            c.plainSize < 0 ? static_cast<std::int32_t>(c.length) : c.plainSize;
        link = NBTest::RecordingJobLink();
        link.options[NBEngine::Option::Verify] = c.verify;
        link.progress = c.start;
        NBTest::WriteBytes(dir.File("in"), NBTest::PatternBytes(c.length));
        NBTest::Remove(dir.File("out"));
        state.plainSize = plainSize;
        state.writeOffset = c.writeOffset;
        ASSERT_TRUE(Transform(dir.File("in"), dir.File("out"), abcSeed));
        const int end = c.verify ? c.start + (100 - c.start) / 2 : 100;
        EXPECT_EQ(link.progressHistory,
                  NBTest::PlainProgressChanges({plainSize, c.start, end, c.writeOffset, c.length}));
        if (!c.known.empty()) {
            EXPECT_EQ(link.progressHistory, c.known);
        }
        EXPECT_LE(link.progressHistory.size(), 101u);
    }
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

TEST_F(BodyCipherTest, StopInsideAChunkEndsWithSuccessKeepingExactlyTheBlocksDone) {
    const Bytes plain = NBTest::PatternBytes(2 * blocksPerChunk * 128 + 300);
    NBTest::WriteBytes(dir.File("in"), plain);
    state.plainSize = static_cast<std::int32_t>(plain.size());
    RootSequence whole = Seeded(abcSeed);
    const Bytes body = NBTest::PlainTransform(plain, whole, state.keyTable);
    for (std::size_t stopAt : {std::size_t{1}, std::size_t{2}, blocksPerChunk, blocksPerChunk + 1,
                               blocksPerChunk + 1000, 2 * blocksPerChunk + 3}) {
        SCOPED_TRACE(testing::Message() << "stop at block " << stopAt);
        StoppingLink stopping(stopAt);
        RootSequence generator = Seeded(abcSeed);
        NBTest::Remove(dir.File("out"));
        ASSERT_TRUE(Transform(dir.File("in"), dir.File("out"), generator, stopping));
        const std::size_t kept = std::min(stopAt * 128, plain.size());
        EXPECT_EQ(stopping.looks, stopAt) << "one look per block";
        EXPECT_EQ(NBTest::ReadBytes(dir.File("out")),
                  Bytes(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(kept)));
        RootSequence expected = Seeded(abcSeed);
        NBTest::PlainTransform(Bytes(kept), expected, state.keyTable);
        EXPECT_TRUE(NBTest::SameGenerator(generator, expected));
    }
}

TEST_F(BodyCipherTest, FileErrorsFail) {
    NBTest::WriteBytes(dir.File("in"), NBTest::PatternBytes(1000));
    state.plainSize = 1000;
    EXPECT_FALSE(Transform(dir.File("in"), dir.Path(), abcSeed)) << "output is a folder";
    EXPECT_FALSE(Transform(dir.Path(), dir.File("out"), abcSeed)) << "input is a folder";
    EXPECT_FALSE(Transform(dir.File("missing"), dir.File("made"), abcSeed));
    EXPECT_TRUE(NBTest::Exists(dir.File("made"))) << "the output is opened first";
#ifndef _WIN32
    EXPECT_FALSE(Transform(dir.File("in"), "/dev/full", abcSeed)) << "a full disk";
#endif
}

TEST(ProgressAt, DegenerateTotalsStayInsideInt) {
    EXPECT_EQ(NBEngine::ProgressAt(50, 100, 10, 100), 55);
    EXPECT_LT(NBEngine::ProgressAt(128, 0, 10, 100), 0) << "division by zero saturates low";
    EXPECT_LT(NBEngine::ProgressAt(128, -5, 10, 100), 0);
    EXPECT_EQ(NBEngine::ProgressAt(std::int64_t{1} << 40, 1, 10, 100), 10 + INT32_MIN);
}

} // namespace
