// Publishing on a volume that has neither RENAME_NOREPLACE nor hard links.
// tests/cli/no_links_test.sh mounts such a volume (exFAT through FUSE) and
// names a folder on it in NB_NO_LINK_FOLDER; elsewhere there is nothing to try.
#include <gtest/gtest.h>

#include <cstdlib>

#include "PlatformFiles.h"
#include "TestSupport.h"

namespace {

using NBEngine::Platform::MoveIntoPlace;
using NBEngine::Platform::MoveResult;

TEST(NoHardLinks, AnExistingFileIsKeptUnlessReplacingIsAsked) {
    const char* folder = std::getenv("NB_NO_LINK_FOLDER");
    if (folder == nullptr) {
        GTEST_SKIP() << "NB_NO_LINK_FOLDER names no folder on a volume without hard links";
    }
    const std::string base = std::string(folder) + "/";
    const NBTest::Bytes mine = {'m', 'i', 'n', 'e'};
    const NBTest::Bytes output = {'o', 'u', 't'};
    NBTest::WriteBytes(base + "kept.txt", mine);
    NBTest::WriteBytes(base + "new.incomplete", output);
    std::string reason;

    EXPECT_EQ(MoveIntoPlace(base + "new.incomplete", base + "kept.txt", false, reason),
              MoveResult::TargetExists);
    EXPECT_EQ(NBTest::ReadBytes(base + "kept.txt"), mine);
    EXPECT_EQ(NBTest::ReadBytes(base + "new.incomplete"), output);

    EXPECT_EQ(MoveIntoPlace(base + "new.incomplete", base + "free.txt", false, reason),
              MoveResult::Moved)
        << reason;
    EXPECT_EQ(NBTest::ReadBytes(base + "free.txt"), output);
    EXPECT_FALSE(NBEngine::Platform::PathExists(base + "new.incomplete"));

    EXPECT_EQ(MoveIntoPlace(base + "free.txt", base + "kept.txt", true, reason), MoveResult::Moved)
        << reason;
    EXPECT_EQ(NBTest::ReadBytes(base + "kept.txt"), output);
    NBTest::Remove(base + "kept.txt");
}

} // namespace
