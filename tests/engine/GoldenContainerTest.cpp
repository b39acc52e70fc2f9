// Whole containers, written by composing the engine's pieces the way an
// encryption does, must equal the checked-in files byte for byte on every
// build. NB_WRITE_GOLDEN=1 writes the files instead (only for a new case).

#include <cstdlib>

#include <gtest/gtest.h>

#include "BodyCipher.h"
#include "Checksum.h"
#include "Container.h"
#include "Paths.h"
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

TEST(EngineRoundTrip, ManyLengthsComeBackByteForByteAndOnlyWithTheirPassword) {
    NBTest::TempDir dir;
    std::vector<std::size_t> lengths = {1427, 1428, 1429, 1430, 1024, 8192, 3u << 20};
    for (std::size_t n = 1; n <= 300; ++n) {
        lengths.push_back(n);
    }
    for (std::size_t length : lengths) {
        const Bytes contents = NBTest::PatternBytes(length, static_cast<unsigned>(length));
        NBTest::WriteBytes(dir.File("plain.bin"), contents);
        ASSERT_TRUE(SealFile(dir.File("plain.bin"), dir.File("box.nbnx"), "round trip"));
        NBTest::Remove(dir.File("plain.bin"));
        std::string plainPath;
        ASSERT_FALSE(OpenContainer(dir.File("box.nbnx"), dir.Path(), "wrong trip", plainPath));
        ASSERT_TRUE(OpenContainer(dir.File("box.nbnx"), dir.Path(), "round trip", plainPath));
        ASSERT_EQ(NBTest::ReadBytes(plainPath), contents) << length;
        NBTest::Remove(dir.File("box.nbnx"));
    }
}

} // namespace
