// Whole containers written by an encryption job must equal the checked-in
// files byte for byte on every build, and open again. NB_WRITE_GOLDEN=1 writes the files
// instead (only for a new case).

#include <cstdlib>

#include <gtest/gtest.h>

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

        // The checked-in file opens beside itself under its stored name, and
        // only with its password.
        NBTest::Remove(plain);
        NBTest::WriteBytes(dir.File("golden.nbnx"), NBTest::ReadBytes(golden));
        EXPECT_FALSE(
            Succeeds(NBTest::Request(false, dir.File("golden.nbnx"), "", "wrong password")));
        EXPECT_FALSE(NBTest::Exists(plain));
        ASSERT_TRUE(Succeeds(NBTest::Request(false, dir.File("golden.nbnx"), "", c.password)));
        EXPECT_EQ(NBTest::ReadBytes(plain), c.contents);
    }
}

} // namespace
