#include <gtest/gtest.h>

#include "Paths.h"
#include "PositionedFile.h"
#include "TestSupport.h"

using namespace NBEngine;

namespace {

TEST(Paths, TrickyCases) {
    const std::pair<std::string, std::string> cases[] = {
        {DirectoryOf("C:file.txt"), "C:"},
        {DirectoryOf("a/b\\c/d.e"), "a\\b\\c\\"},
        {DirectoryOf("\\\\server\\share\\x"), "\\\\server\\share\\"},
        {FileNameOf("C:file.txt"), "file.txt"},
        {WithTrailingSeparator("C:"), "C:\\"},
        {ChangeExtension("report.NBNX", "nbnx"), "report.NBNX"},
        {ChangeExtension("archive.backup", "nbnx"), "archive.backup.nbnx"},
        {ChangeExtension("C:\\a.b\\c", "nbnx"), "C:\\a.nbnx"},
        {ChangeNameExtension("C:\\node.js\\data", "nbnx"), "C:\\node.js\\data.nbnx"},
        {Trim("\t\r\n\v\f x \t"), "x"},
        {Trim("\xA0x\xA0"), "\xA0x\xA0"},
        {ReplaceAll("aab", "ab", "b"), "b"}, // every round searches from the start
    };
    for (const auto& [result, expected] : cases) {
        EXPECT_EQ(result, expected);
    }
}

TEST(Paths, SeparatorsBuiltTheWindowsWayReachTheFile) {
    // DirectoryOf always answers with "\", also for a path written with "/".
    NBTest::TempDir dir;
    NBTest::WriteBytes(dir.File("x.txt"), {'a', 'b', 'c'});
    const std::string windowsStyle = DirectoryOf(dir.File("x.txt")) + "x.txt";
    EXPECT_TRUE(FileExists(windowsStyle)) << windowsStyle;
    EXPECT_EQ(FileSize(windowsStyle), 3);
}

TEST(PositionedFile, OffsetsBeyondFourGibibytesDoNotWrap) {
    NBTest::TempDir dir;
    const std::string path = dir.File("data.bin");
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

} // namespace
