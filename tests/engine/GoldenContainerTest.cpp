// Whole containers written by an encryption job must equal the checked-in
// files byte for byte on every build. NB_WRITE_GOLDEN=1 writes the files
// instead (only for a new case).

#include <cstdlib>

#include <gtest/gtest.h>

#include "Container.h"
#include "Jobs.h"
#include "TestSupport.h"

using NBTest::Bytes;

namespace {

bool Succeeds(NBTest::RecordingJobLink link) {
    NBEngine::JobState state;
    return NBEngine::RunJob(link, state);
}

TEST(GoldenContainers, ThisBuildWritesTheCheckedInBytesAndOpensThem) {
    struct Case {
        std::string file;
        std::string plainName;
        std::string password;
        Bytes contents;
    };
    const Case cases[] = {
        {"abc.nbnx", "abc.txt", "password", Bytes{'a', 'b', 'c'}},
        {"one-byte.nbnx", "one.bin", "12345678", Bytes{'x'}},
        {"offset-jump.nbnx", "jump.dat", "Zz9!Zz9!Zz9!Zz9", NBTest::PatternBytes(1430, 1)},
        {"blocks.nbnx", "blocks.bin", "hunter22hunter2", NBTest::PatternBytes(300, 2)},
        {"long-name.nbnx", std::string(120, 'L') + ".longx", "long name pass",
         Bytes{'l', 'o', 'n', 'g'}},
        {"latin1.nbnx", "r\xE9sum\xE9.txt", "m\xF6t\xF6rhead", NBTest::PatternBytes(2048, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        NBTest::TempDir dir;
        const std::string plain = dir.File(c.plainName);
        const std::string golden = std::string(NB_TEST_DATA_DIR) + "/golden/" + c.file;
        NBTest::WriteBytes(plain, c.contents);
        ASSERT_TRUE(Succeeds(NBTest::Request(true, plain, dir.File("out.nbnx"), c.password)));
        const Bytes container = NBTest::ReadBytes(dir.File("out.nbnx"));
        if (std::getenv("NB_WRITE_GOLDEN") != nullptr) {
            NBTest::WriteBytes(golden, container);
        }
        EXPECT_EQ(container, NBTest::ReadBytes(golden));

        // The checked-in file opens beside itself under its stored name.
        NBTest::Remove(plain);
        NBTest::WriteBytes(dir.File("golden.nbnx"), NBTest::ReadBytes(golden));
        ASSERT_TRUE(Succeeds(NBTest::Request(false, dir.File("golden.nbnx"), "", c.password)));
        EXPECT_EQ(NBTest::ReadBytes(plain), c.contents);
    }
}

TEST(EngineRoundTrip, ManyLengthsComeBackByteForByteAndOnlyWithTheirPassword) {
    NBTest::TempDir dir;
    const std::string plain = dir.File("plain.bin");
    const std::string box = dir.File("plain.nbnx");
    std::vector<std::size_t> lengths = {1427, 1428, 1429, 1430, 8192, 3u << 20};
    for (std::size_t n = 1; n <= 300; ++n) {
        lengths.push_back(n);
    }
    for (std::size_t length : lengths) {
        SCOPED_TRACE(length);
        const Bytes contents = NBTest::PatternBytes(length, static_cast<unsigned>(length));
        NBTest::WriteBytes(plain, contents);
        ASSERT_TRUE(Succeeds(NBTest::Request(true, plain, box, "round trip")));
        ASSERT_EQ(NBTest::ReadBytes(box).size(), NBEngine::headerSize + length);
        NBTest::Remove(plain);
        ASSERT_FALSE(Succeeds(NBTest::Request(false, box, "", "wrong trip")));
        ASSERT_FALSE(NBTest::Exists(plain));
        ASSERT_TRUE(Succeeds(NBTest::Request(false, box, "", "round trip")));
        ASSERT_EQ(NBTest::ReadBytes(plain), contents);
    }
}

} // namespace
