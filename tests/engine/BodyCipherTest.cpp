#include <gtest/gtest.h>

#include "BodyCipher.h"
#include "RecordingJobLink.h"
#include "TestFiles.h"

using NBEngine::JobState;
using NBEngine::RootSequence;
using NBEngine::TransformFile;
using NBTest::Bytes;

namespace {

constexpr int abcSeed = 1560;

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

TEST_F(BodyCipherTest, ProgressSpansAndBlockRounds) {
    struct Case {
        bool verify;
        int start;
        std::int32_t writeOffset;
        std::size_t length;
        std::vector<int> history;
    };
    const Case cases[] = {
        // A multiple of 128 ends with a round that reads nothing.
        {false, 10, 0, 256, {55, 100, 100}},
        {true, 10, 0, 256, {32, 55, 55}},
        {true, 55, 0, 128, {77, 77}},
        // The output offset includes a header: tiny files clamp at once.
        {false, 10, 216, 3, {100}},
    };
    for (const Case& c : cases) {
        link = NBTest::RecordingJobLink();
        link.options[NBEngine::Option::Verify] = c.verify;
        link.progress = c.start;
        NBTest::WriteBytes(dir.File("in"), NBTest::PatternBytes(c.length));
        NBTest::Remove(dir.File("out"));
        state.plainSize = static_cast<std::int32_t>(c.length);
        state.writeOffset = c.writeOffset;
        ASSERT_TRUE(Transform(dir.File("in"), dir.File("out"), abcSeed));
        EXPECT_EQ(link.progressHistory, c.history) << c.length << " verify " << c.verify;
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
