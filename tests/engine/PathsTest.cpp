#include <gtest/gtest.h>

#include "Paths.h"
#include "TestFiles.h"

using namespace NBEngine;

namespace {

TEST(Paths, DirectoryAndFileName) {
    struct Case {
        std::string path;
        std::string directory;
        std::string name;
    };
    const Case cases[] = {
        {"C:/data/file.txt", "C:\\data\\", "file.txt"},
        {"C:\\data\\file.txt", "C:\\data\\", "file.txt"},
        {"C:file.txt", "C:", "file.txt"},
        {"C:\\data\\", "C:\\data\\", ""},
        {"file.txt", "", "file.txt"},
        {"", "", ""},
        {"a/b\\c/d.e", "a\\b\\c\\", "d.e"},
        {"\\\\server\\share\\x", "\\\\server\\share\\", "x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DirectoryOf(c.path), c.directory) << c.path;
        EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
    }
}

TEST(Paths, TrailingSeparator) {
    EXPECT_EQ(WithTrailingSeparator("C:"), "C:\\");
    EXPECT_EQ(WithTrailingSeparator("C:\\data"), "C:\\data\\");
    EXPECT_EQ(WithTrailingSeparator("C:\\data\\"), "C:\\data\\");
    EXPECT_EQ(WithTrailingSeparator("/tmp/"), "/tmp/");
    EXPECT_EQ(WithTrailingSeparator(""), "");
}

TEST(Paths, ChangeExtension) {
    struct Case {
        std::string path;
        std::string extension;
        std::string result;
    };
    const Case cases[] = {
        {"report.txt", "nbnx", "report.nbnx"},
        {"report.NBNX", "nbnx", "report.NBNX"},
        {"report.nbnx", ".nbnx", "report.nbnx"},
        {"archive.backup", "nbnx", "archive.backup.nbnx"},
        {"archive.tar.gz", "nbnx", "archive.tar.nbnx"},
        {"noext", "nbnx", "noext.nbnx"},
        {"C:\\a.b\\c", "nbnx", "C:\\a.nbnx"},
        {"C:\\a.bcdef\\c", "nbnx", "C:\\a.bcdef\\c.nbnx"},
        {"x.", "nbnx", "x.nbnx"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChangeExtension(c.path, c.extension), c.result) << c.path;
    }
}

TEST(Paths, ChangeNameExtensionKeepsTheFolder) {
    EXPECT_EQ(ChangeNameExtension("C:\\node.js\\data", "nbnx"), "C:\\node.js\\data.nbnx");
    EXPECT_EQ(ChangeNameExtension("C:\\docs\\report.txt", "nbnx"), "C:\\docs\\report.nbnx");
    EXPECT_EQ(ChangeNameExtension("d.v2/x.NBNX", "nbnx"), "d.v2/x.NBNX");
    EXPECT_EQ(ChangeNameExtension("backup", "nbnx"), "backup.nbnx");
}

TEST(Paths, TrimAndCase) {
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("\t\r\n\v\f x \t"), "x");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0") << "bytes above 0x7F are not white space";
    EXPECT_EQ(ToUpper("c:\\x\\report.doc"), "C:\\X\\REPORT.DOC");
    EXPECT_EQ(ToLower("C:\\Data\\A.TXT"), "c:\\data\\a.txt");
    EXPECT_EQ(ToLower("\xC9"), "\xC9");
    EXPECT_EQ(ToUpper("\xE9"), "\xE9");
}

TEST(Paths, Replacing) {
    EXPECT_EQ(ReplaceChar("a/b/c", '/', '\\'), "a\\b\\c");
    EXPECT_EQ(ReplaceAll("one two one", "one", "1"), "1 two 1");
    EXPECT_EQ(ReplaceAll("aab", "ab", "b"), "b") << "every round searches from the start";
    EXPECT_EQ(ReplaceAll("x", "", "y"), "x");
    EXPECT_EQ(ReplaceAll("a-a", "a", "aa"), "aa-aa") << "a replacement holding the text ends";
}

TEST(Paths, FileExistsAndSize) {
    NBTest::TempDir dir;
    NBTest::WriteText(dir.File("five"), "12345");
    EXPECT_TRUE(FileExists(dir.File("five")));
    EXPECT_EQ(FileSize(dir.File("five")), 5);
    EXPECT_TRUE(FileExists(dir.Path())) << "a folder exists too";
    EXPECT_EQ(FileSize(dir.Path()), 0);
    EXPECT_FALSE(FileExists(dir.File("missing")));
    EXPECT_EQ(FileSize(dir.File("missing")), 0);
    EXPECT_FALSE(FileExists(""));
}

TEST(Paths, SeparatorsBuiltTheWindowsWayReachTheFile) {
    // DirectoryOf always answers with "\", also for a path written with "/".
    NBTest::TempDir dir;
    NBTest::WriteText(dir.File("x.txt"), "abc");
    const std::string windowsStyle = DirectoryOf(dir.File("x.txt")) + "x.txt";
    EXPECT_TRUE(FileExists(windowsStyle)) << windowsStyle;
    EXPECT_EQ(FileSize(windowsStyle), 3);
}

} // namespace

namespace {
TEST(Paths, PlainFileNames) {
    for (const char* good : {"a", "r\xE9sum\xE9.txt", ".hidden", "COM10", "CONSOLE.txt", "a b.c",
                             "LPT0", "nul-device.txt"}) {
        EXPECT_TRUE(NBEngine::IsPlainFileName(good)) << good;
    }
    for (const char* bad : {"", ".", "..", "a\\b", "a/b", "c:x", "x.", "x ", "CON", "con.txt",
                            "Nul", "COM1", "lpt9.tar.gz", "AUX .txt", "a\tb", "a\x7F", "a>b"}) {
        EXPECT_FALSE(NBEngine::IsPlainFileName(bad)) << bad;
    }
}
} // namespace
