#include <algorithm>

#include <gtest/gtest.h>

#include "PositionedFile.h"
#include "TestFiles.h"

using NBEngine::PositionedFile;

namespace {

class PositionedFileTest : public testing::Test {
protected:
    NBTest::TempDir dir;
    std::string path = dir.File("data.bin");
};

TEST_F(PositionedFileTest, ReadingExactlyToTheEndIsFineButTheNextReadFails) {
    NBTest::WriteText(path, "0123456789");
    PositionedFile file;
    file.OpenRead(path);
    char buffer[16] = {};
    EXPECT_EQ(file.ReadAt(6, buffer, 4), 4u);
    EXPECT_FALSE(file.Failed());
    EXPECT_EQ(std::string(buffer, 4), "6789");
    EXPECT_EQ(file.ReadAt(0, buffer, 4), 4u) << "no end reached yet";
    EXPECT_EQ(file.ReadAt(8, buffer, 4), 2u);
    EXPECT_FALSE(file.Failed()) << "reaching the end is not an error";
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(file.ReadAt(0, buffer, 4), 0u) << "the end state sticks";
    EXPECT_TRUE(file.Failed());
}

TEST_F(PositionedFileTest, MissingFileSetsAllThreeFlags) {
    PositionedFile file;
    file.OpenRead(dir.File("missing"));
    EXPECT_TRUE(file.Failed() && file.Closed() && file.NotOpen());
    char buffer[4];
    EXPECT_EQ(file.ReadAt(0, buffer, 4), 0u);
    EXPECT_FALSE(file.WriteAt(0, buffer, 4));
}

TEST_F(PositionedFileTest, TruncateCutsAppendCreatesAndAlwaysWritesAtTheEnd) {
    {
        PositionedFile file;
        file.OpenAppend(path);
        EXPECT_FALSE(file.NotOpen()) << "a missing file is made";
        EXPECT_TRUE(file.WriteAt(0, "old contents", 12));
    }
    PositionedFile file;
    file.OpenTruncate(path);
    EXPECT_TRUE(file.WriteAt(0, "abc", 3));
    EXPECT_TRUE(file.Close());
    EXPECT_TRUE(file.Close()) << "closing twice is harmless";
    EXPECT_FALSE(file.WriteAt(0, "a", 1));
    EXPECT_EQ(NBTest::ReadBytes(path), (NBTest::Bytes{'a', 'b', 'c'}));
    file.OpenAppend(path);
    EXPECT_TRUE(file.WriteAt(0, "de", 2));
    EXPECT_TRUE(file.WriteAt(1, "f", 1));
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(NBTest::ReadBytes(path), (NBTest::Bytes{'a', 'b', 'c', 'd', 'e', 'f'}));
}

TEST_F(PositionedFileTest, OffsetsBeyondFourGibibytesDoNotWrap) {
    const std::int64_t far = (std::int64_t{5} << 30) + 7; // sparse where supported
    {
        PositionedFile file;
        file.OpenTruncate(path);
        ASSERT_TRUE(file.WriteAt(far, "xyz", 3));
        ASSERT_TRUE(file.WriteAt(7, "k", 1));
    }
    PositionedFile file;
    file.OpenRead(path);
    char buffer[3] = {};
    ASSERT_EQ(file.ReadAt(far, buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "xyz");
    ASSERT_EQ(file.ReadAt(7, buffer, 1), 1u);
    EXPECT_EQ(buffer[0], 'k');
}

TEST(ReadBufferSize, CoversTheRestOfTheFileInWholeUnitsUpToTheLimit) {
    NBTest::TempDir dir;
    constexpr std::size_t unit = 128;
    constexpr std::size_t limit = 4096;
    for (std::size_t size : {0u, 1u, 127u, 128u, 129u, 3000u, 4095u, 4096u, 100000u}) {
        NBTest::WriteBytes(dir.File("data"), NBTest::PatternBytes(size));
        for (std::int64_t offset : {0, 216, 5000}) {
            const std::size_t buffer =
                NBEngine::ReadBufferSize(dir.File("data"), offset, limit, unit);
            const std::int64_t rest =
                std::max<std::int64_t>(0, static_cast<std::int64_t>(size) - offset);
            SCOPED_TRACE(testing::Message() << "size " << size << ", offset " << offset);
            EXPECT_EQ(buffer % unit, 0u);
            EXPECT_LE(buffer, limit);
            EXPECT_GT(buffer, 0u);
            if (buffer < limit) {
                EXPECT_GT(static_cast<std::int64_t>(buffer), rest) << "one read must meet the end";
                EXPECT_LE(static_cast<std::int64_t>(buffer),
                          rest + static_cast<std::int64_t>(unit));
            } else {
                EXPECT_GE(rest + static_cast<std::int64_t>(unit), static_cast<std::int64_t>(limit));
            }
        }
    }
    EXPECT_EQ(NBEngine::ReadBufferSize(dir.File("missing"), 0, limit, unit), limit);
}

} // namespace
