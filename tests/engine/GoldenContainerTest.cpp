// Whole containers, written by composing the engine's pieces the way an
// encryption does, must equal the checked-in files byte for byte on every
// build. NB_WRITE_GOLDEN=1 writes the files instead (only for a new case).

#include <cstdlib>

#include <gtest/gtest.h>

#include "BodyCipher.h"
#include "Checksum.h"
#include "Container.h"
#include "Keystream.h"
#include "Paths.h"
#include "PlainReference.h"
#include "RecordingJobLink.h"
#include "TestFiles.h"

using namespace NBEngine;
using NBTest::Bytes;

namespace {

struct GoldenCase {
    std::string file;
    std::string plainName;
    std::string password;
    Bytes contents;
};

void PrintTo(const GoldenCase& c, std::ostream* out) {
    *out << c.file;
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::vector<GoldenCase> GoldenCases() {
    return {
        {"abc.nbnx", "abc.txt", "password", Text("abc")},
        {"one-byte.nbnx", "one.bin", "12345678", Text("x")},
        {"offset-jump.nbnx", "jump.dat", "Zz9!Zz9!Zz9!Zz9", NBTest::PatternBytes(1430, 1)},
        {"blocks.nbnx", "blocks.bin", "hunter22hunter2", NBTest::PatternBytes(300, 2)},
        {"long-name.nbnx", std::string(120, 'L') + ".longx", "long name pass", Text("long")},
        {"latin1.nbnx", "r\xE9sum\xE9.txt", "m\xF6t\xF6rhead", NBTest::PatternBytes(2048, 3)},
    };
}

bool SealFile(const std::string& plainPath, const std::string& containerPath,
              const std::string& password) {
    JobState state;
    NBTest::RecordingJobLink link;
    if (!DeriveKey(password, state.keyTable)) {
        return false;
    }
    state.plainName = FileNameOf(plainPath);
    state.plainSize = static_cast<std::int32_t>(FileSize(plainPath));
    state.readOffset = 0;
    state.checksumText = FoldChecksum(plainPath).text;
    if (!WriteHeader(containerPath, state)) {
        return false;
    }
    RootSequence generator;
    generator.Seed(ChecksumSeed(state.checksumText));
    return TransformFile(plainPath, containerPath, generator, state, link);
}

bool OpenContainer(const std::string& containerPath, const std::string& folder,
                   const std::string& password, std::string& plainPath) {
    JobState state;
    NBTest::RecordingJobLink link;
    if (!DeriveKey(password, state.keyTable) || !ReadHeader(containerPath, state)) {
        return false;
    }
    plainPath = WithTrailingSeparator(folder) + state.plainName;
    state.writeOffset = 0;
    RootSequence generator;
    generator.Seed(ChecksumSeed(state.checksumText));
    return TransformFile(containerPath, plainPath, generator, state, link) &&
           FoldChecksum(plainPath).text == state.checksumText;
}

class GoldenContainers : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenContainers, ThisBuildWritesTheCheckedInBytes) {
    const GoldenCase& c = GetParam();
    NBTest::TempDir dir;
    const std::string plainPath = dir.File(c.plainName);
    NBTest::WriteBytes(plainPath, c.contents);
    const std::string containerPath = dir.File("out.nbnx");
    ASSERT_TRUE(SealFile(plainPath, containerPath, c.password));
    const Bytes container = NBTest::ReadBytes(containerPath);
    EXPECT_EQ(container.size(), headerSize + c.contents.size());

    const std::string goldenPath = NBTest::DataDir() + "/golden/" + c.file;
    if (std::getenv("NB_WRITE_GOLDEN") != nullptr) {
        NBTest::WriteBytes(goldenPath, container);
    }
    EXPECT_EQ(container, NBTest::ReadBytes(goldenPath)) << c.file;
}

TEST_P(GoldenContainers, CheckedInFileOpensWithItsPassword) {
    const GoldenCase& c = GetParam();
    NBTest::TempDir dir;
    std::string plainPath;
    ASSERT_TRUE(
        OpenContainer(NBTest::DataDir() + "/golden/" + c.file, dir.Path(), c.password, plainPath));
    EXPECT_EQ(FileNameOf(plainPath), c.plainName);
    EXPECT_EQ(NBTest::ReadBytes(plainPath), c.contents);
}

INSTANTIATE_TEST_SUITE_P(Engine, GoldenContainers, testing::ValuesIn(GoldenCases()),
                         [](const testing::TestParamInfo<GoldenCase>& info) {
                             std::string name =
                                 info.param.file.substr(0, info.param.file.find('.'));
                             for (char& ch : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) {
                                     ch = '_';
                                 }
                             }
                             return name;
                         });

TEST(EngineRoundTrip, ManyLengthsComeBackByteForByte) {
    NBTest::TempDir dir;
    std::vector<std::size_t> lengths;
    for (std::size_t n = 1; n <= 300; ++n) {
        lengths.push_back(n);
    }
    for (std::size_t n : {1427u, 1428u, 1429u, 1430u, 1024u, 8192u, 3u << 20}) {
        lengths.push_back(n);
    }
    for (std::size_t length : lengths) {
        const Bytes contents = NBTest::PatternBytes(length, static_cast<unsigned>(length));
        NBTest::WriteBytes(dir.File("plain.bin"), contents);
        ASSERT_TRUE(SealFile(dir.File("plain.bin"), dir.File("box.nbnx"), "round trip"));
        NBTest::Remove(dir.File("plain.bin"));
        std::string plainPath;
        ASSERT_TRUE(OpenContainer(dir.File("box.nbnx"), dir.Path(), "round trip", plainPath));
        ASSERT_EQ(NBTest::ReadBytes(plainPath), contents) << length;
        NBTest::Remove(dir.File("box.nbnx"));
    }
}

// Contents of the given length whose checksum text is
// AAAAAAAAAAAAAA777777777777777777: seed 1900, whose circle is the longest
// (13 300 calls) and starts late. The last 16 bytes set the fold.
Bytes WithSeed1900Checksum(std::size_t length) {
    static const std::uint8_t lanes[16] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0x77,
                                           0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77};
    Bytes contents = NBTest::PatternBytes(length, static_cast<unsigned>(length));
    std::uint8_t fold[16] = {};
    for (std::size_t i = 0; i + 16 < length; ++i) {
        fold[i % 16] ^= contents[i];
    }
    for (std::size_t i = length - 16; i < length; ++i) {
        contents[i] = static_cast<std::uint8_t>(lanes[i % 16] ^ fold[i % 16]);
    }
    return contents;
}

TEST(EngineRoundTrip, ContainersAndBodiesEqualThePlainPathAroundEveryBoundary) {
    const std::string password = "plain path";
    const std::string checksumText = "AAAAAAAAAAAAAA777777777777777777";
    const int seed = ChecksumSeed(checksumText);
    RootSequence seeded;
    seeded.Seed(seed);
    const Keystream probe(seeded);
    const std::size_t circleStart = probe.RecordedLength();
    const std::size_t period = probe.Period();
    const std::size_t chunk = cipherChunkSize;
    const std::size_t lengths[] = {16,
                                   127,
                                   128,
                                   129,
                                   1427,
                                   1428,
                                   1429,
                                   1430,
                                   1431,
                                   8192,
                                   circleStart - 1,
                                   circleStart,
                                   circleStart + 1,
                                   circleStart + period - 1,
                                   circleStart + period,
                                   circleStart + period + 1,
                                   chunk - 1,
                                   chunk,
                                   chunk + 1,
                                   chunk + 128,
                                   2 * chunk + 300};
    KeyTable key;
    ASSERT_TRUE(DeriveKey(password, key));
    NBTest::TempDir dir;
    for (std::size_t length : lengths) {
        SCOPED_TRACE(testing::Message() << "length " << length);
        const Bytes contents = WithSeed1900Checksum(length);
        NBTest::WriteBytes(dir.File("plain.bin"), contents);
        ASSERT_EQ(FoldChecksum(dir.File("plain.bin")).text, checksumText);
        ASSERT_TRUE(SealFile(dir.File("plain.bin"), dir.File("box.nbnx"), password));
        NBTest::Remove(dir.File("plain.bin"));

        const Bytes container = NBTest::ReadBytes(dir.File("box.nbnx"));
        ASSERT_EQ(container.size(), headerSize + length);
        const Bytes body(container.begin() + headerSize, container.end());
        ASSERT_EQ(body, NBTest::PlainTransform(contents, seed, key));

        std::string plainPath;
        ASSERT_TRUE(OpenContainer(dir.File("box.nbnx"), dir.Path(), password, plainPath));
        ASSERT_EQ(NBTest::ReadBytes(plainPath), contents);
        NBTest::Remove(dir.File("box.nbnx"));
        NBTest::Remove(plainPath);
    }
}

TEST(EngineRoundTrip, WrongPasswordDoesNotOpen) {
    NBTest::TempDir dir;
    NBTest::WriteText(dir.File("plain.txt"), "secret text");
    ASSERT_TRUE(SealFile(dir.File("plain.txt"), dir.File("box.nbnx"), "right password"));
    std::string plainPath;
    EXPECT_FALSE(OpenContainer(dir.File("box.nbnx"), dir.Path(), "wrong password", plainPath));
}

} // namespace
