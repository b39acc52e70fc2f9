// Whole containers written by an encryption job must equal the checked-in
// files byte for byte on every build, and open again. NB_WRITE_GOLDEN=1 writes the files
// instead (only for a new case).

#include <cstdlib>
#include <tuple>

#include <gtest/gtest.h>

#include "TestSupport.h"

using NBTest::Bytes;

namespace {

// résumé.txt, as every narrow path is spelt (UTF-8): stored as Latin-1.
const std::string latin1Name = "r\xC3\xA9sum\xC3\xA9.txt";

TEST(GoldenContainers, ThisBuildWritesTheCheckedInBytesAndOpensThem) {
    const std::tuple<std::string, std::string, std::string, Bytes> cases[] = {
        // container, stored name, password, contents
        {"abc.nbnx", "abc.txt", "password", Bytes{'a', 'b', 'c'}},
        {"one-byte.nbnx", "one.bin", "12345678", Bytes{'x'}},
        {"offset-jump.nbnx", "jump.dat", "Zz9!Zz9!Zz9!Zz9", NBTest::PatternBytes(1430, 1)},
        {"blocks.nbnx", "blocks.bin", "hunter22hunter2", NBTest::PatternBytes(300, 2)},
        {"long-name.nbnx", std::string(120, 'L') + ".longx", "long name pass",
         Bytes{'l', 'o', 'n', 'g'}},
        {"latin1.nbnx", latin1Name, "m\xF6t\xF6rhead", NBTest::PatternBytes(2048, 3)},
    };
    for (const auto& [file, plainName, password, contents] : cases) {
        SCOPED_TRACE(file);
        NBTest::TempDir dir;
        const std::string plain = dir.File(plainName);
        const std::string golden = std::string(NB_TEST_DATA_DIR) + "/golden/" + file;
        NBTest::WriteBytes(plain, contents);
        auto encrypt = NBTest::Request(true, plain, dir.File("out.nbnx"), password);
        ASSERT_TRUE(NBTest::Run(encrypt));
        const Bytes container = NBTest::ReadBytes(dir.File("out.nbnx"));
        if (std::getenv("NB_WRITE_GOLDEN") != nullptr) {
            NBTest::WriteBytes(golden, container);
        }
        EXPECT_EQ(container, NBTest::ReadBytes(golden));

        // The checked-in file opens beside itself under its stored name.
        NBTest::Remove(plain);
        NBTest::WriteBytes(dir.File("golden.nbnx"), NBTest::ReadBytes(golden));
        auto decrypt = NBTest::Request(false, dir.File("golden.nbnx"), "", password);
        ASSERT_TRUE(NBTest::Run(decrypt));
        EXPECT_EQ(NBTest::ReadBytes(plain), contents);
    }
}

} // namespace
