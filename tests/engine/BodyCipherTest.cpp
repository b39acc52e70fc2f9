#include <gtest/gtest.h>

#include "BodyCipher.h"
#include "Keystream.h"
#include "TestSupport.h"

using NBEngine::RootSequence;
using NBTest::Bytes;
using NBTest::Seeded;

namespace {

// The body one generator call per byte: input[k] XOR ((value k+1 of
// Next(1, 16) + key[k mod 128]) mod 256).
Bytes PlainTransform(const Bytes& input, RootSequence& generator, const NBEngine::KeyTable& key) {
    Bytes output(input.size());
    for (std::size_t k = 0; k < input.size(); ++k) {
        const auto value = static_cast<std::uint32_t>(generator.Next(1, 16));
        output[k] = static_cast<std::uint8_t>(input[k] ^ ((value + key[k % 128]) & 0xFFu));
    }
    return output;
}

class BodyCipherTest : public testing::Test {
protected:
    NBTest::TempDir dir;
    NBTest::RecordingJobLink link;
    NBEngine::JobState state;

    void SetUp() override { ASSERT_TRUE(NBEngine::DeriveKey("password", state.keyTable)); }

    bool Transform(const std::string& input, const std::string& output, RootSequence& generator) {
        NBEngine::PassWork work;
        work.showProgress = [this](int value) { link.SetProgress(value); };
        work.keepGoing = [this] { return link.IsRunning(); };
        return NBEngine::TransformFile(input, output, generator, state, work).ok;
    }
};

TEST_F(BodyCipherTest, BodiesEqualThePlainPathAroundEveryBoundary) {
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
                      PlainTransform(plain, expected, state.keyTable));
            EXPECT_TRUE(NBTest::SameGenerator(generator, expected)) << "one Next call per byte";
            NBTest::Remove(dir.File("body")); // the body is appended to a header
        }
    }
}

TEST_F(BodyCipherTest, AFailedWriteOrFlushIsReported) {
    RootSequence generator = Seeded(1560);
    std::vector<std::string> outputs = {dir.Path()}; // a folder
#ifndef _WIN32
    outputs.push_back("/dev/full");
#endif
    // The short body fails only when the buffer is flushed, the long one while writing.
    for (std::size_t length : {std::size_t{1000}, NBEngine::cipherChunkSize + 1}) {
        NBTest::WriteBytes(dir.File("in"), NBTest::PatternBytes(length));
        state.plainSize = static_cast<std::int32_t>(length);
        for (const std::string& output : outputs) {
            EXPECT_FALSE(Transform(dir.File("in"), output, generator)) << output << " " << length;
        }
    }
}

} // namespace
