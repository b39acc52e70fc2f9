#include <gtest/gtest.h>

#include "BodyCipher.h"
#include "Keystream.h"
#include "TestSupport.h"

using NBEngine::RootSequence;
using NBTest::Bytes;
using NBTest::Seeded;

namespace {

class BodyCipherTest : public testing::Test {
protected:
    NBTest::TempDir dir;
    NBTest::RecordingJobLink link;
    NBEngine::JobState state;

    void SetUp() override { ASSERT_TRUE(NBEngine::DeriveKey("password", state.keyTable)); }

    bool Transform(const std::string& input, const std::string& output, RootSequence& generator) {
        return NBEngine::TransformFile(input, output, generator, state, link);
    }
};

TEST_F(BodyCipherTest, BodiesEqualThePlainPathAndUndoThemselvesAroundEveryBoundary) {
    const std::size_t chunk = NBEngine::cipherChunkSize;
    // 1560 is the body of "abc"; 1900 has the longest circle, starting late.
    for (int seed : {1560, 1900}) {
        const NBEngine::Keystream probe(Seeded(seed));
        const std::size_t circle = probe.RecordedLength();
        const std::size_t period = probe.Period();
        // 2^12 + 1428 and 2^17 + 1428 follow the offset's powers of two.
        for (std::size_t length :
             {std::size_t{0}, std::size_t{1}, std::size_t{127}, std::size_t{129}, std::size_t{1427},
              std::size_t{1428}, std::size_t{1429}, std::size_t{4096 + 1428},
              std::size_t{131072 + 1428}, circle - 1, circle, circle + 1, circle + period - 1,
              circle + period, circle + period + 1, chunk - 1, chunk, chunk + 1, 2 * chunk + 77}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", length " << length);
            const Bytes plain = NBTest::PatternBytes(length, static_cast<unsigned>(length));
            NBTest::WriteBytes(dir.File("plain"), plain);
            state.plainSize = static_cast<std::int32_t>(length);
            RootSequence generator = Seeded(seed);
            ASSERT_TRUE(Transform(dir.File("plain"), dir.File("body"), generator));
            RootSequence expected = Seeded(seed);
            ASSERT_EQ(NBTest::ReadBytes(dir.File("body")),
                      NBTest::PlainTransform(plain, expected, state.keyTable));
            EXPECT_TRUE(NBTest::SameGenerator(generator, expected)) << "one Next call per byte";
            generator = Seeded(seed);
            ASSERT_TRUE(Transform(dir.File("body"), dir.File("back"), generator));
            ASSERT_EQ(NBTest::ReadBytes(dir.File("back")), plain);
            NBTest::Remove(dir.File("body"));
            NBTest::Remove(dir.File("back"));
        }
    }
}

TEST_F(BodyCipherTest, FileErrorsAndAFullDiskFail) {
    NBTest::WriteBytes(dir.File("in"), NBTest::PatternBytes(1000));
    state.plainSize = 1000;
    RootSequence generator = Seeded(1560);
    EXPECT_FALSE(Transform(dir.File("in"), dir.Path(), generator)) << "output is a folder";
    EXPECT_FALSE(Transform(dir.File("missing"), dir.File("out"), generator));
#ifndef _WIN32
    // The short body fails only when the buffer is flushed, the long one while writing.
    for (std::size_t length : {std::size_t{1000}, NBEngine::cipherChunkSize + 1}) {
        NBTest::WriteBytes(dir.File("in"), NBTest::PatternBytes(length));
        state.plainSize = static_cast<std::int32_t>(length);
        EXPECT_FALSE(Transform(dir.File("in"), "/dev/full", generator)) << length;
    }
#endif
}

TEST(ProgressAt, ScalesIntoItsSpanAndSaturatesOnAZeroTotal) {
    EXPECT_EQ(NBEngine::ProgressAt(50, 100, 10, 100), 55);
    EXPECT_LT(NBEngine::ProgressAt(128, 0, 10, 100), 0);
}

} // namespace
