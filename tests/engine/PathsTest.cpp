#include <gtest/gtest.h>

#include "Paths.h"
#include "PositionedFile.h"
#include "TestSupport.h"

using namespace NBEngine;

namespace {

TEST(Paths, SeparatorsBuiltTheWindowsWayReachTheFile) {
    NBTest::TempDir dir;
    NBTest::WriteBytes(dir.File("x.txt"), {'a', 'b', 'c'});
    // DirectoryOf always answers with "\", also for a path written with "/".
    const std::string windowsStyle = DirectoryOf(dir.File("x.txt")) + "x.txt";
    EXPECT_TRUE(FileExists(windowsStyle)) << windowsStyle;
    EXPECT_EQ(FileSize(windowsStyle), 3);
}

// Windows opens a device for these names, whatever the extension: a
// container must never restore into one, on any platform.
TEST(Paths, DeviceNamesAreNeverPlainFileNames) {
    for (const std::string device :
         {"CON", "prn.txt", "AUX", "NUL .txt", "COM0", "com9.log", "LPT0", "COM\xB9", "LPT\xB2.txt",
          "com\xC2\xB3", "CONIN$", "conout$.log"}) {
        EXPECT_FALSE(IsPlainFileName(device)) << device;
    }
    for (const std::string name : {"COM10", "CONSOLE", "LPTX", "COM", "AUXILIARY.txt", "con1",
                                   "COM\xB4", "NUL-terminated.txt"}) {
        EXPECT_TRUE(IsPlainFileName(name)) << name;
    }
}

TEST(PositionedFile, OffsetsBeyondFourGibibytesDoNotWrap) {
    NBTest::TempDir dir;
    const std::int64_t far = (std::int64_t{5} << 30) + 7; // sparse where supported
    {
        PositionedFile file;
        file.OpenTruncate(dir.File("data.bin"));
        ASSERT_TRUE(file.WriteAt(far, "xyz", 3));
        ASSERT_TRUE(file.WriteAt(7, "k", 1));
    }
    PositionedFile file;
    file.OpenRead(dir.File("data.bin"));
    char buffer[4] = {};
    ASSERT_EQ(file.ReadAt(far, buffer, 3), 3u);
    ASSERT_EQ(file.ReadAt(7, buffer + 3, 1), 1u);
    EXPECT_EQ(std::string(buffer, 4), "xyzk");
}

} // namespace
