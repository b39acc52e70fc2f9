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

TEST(Paths, TextHelpers) {
    struct Case {
        const char* what;
        std::string result;
        std::string expected;
    };
    const Case cases[] = {
        {"separator after a drive", WithTrailingSeparator("C:"), "C:\\"},
        {"separator added", WithTrailingSeparator("C:\\data"), "C:\\data\\"},
        {"separator kept", WithTrailingSeparator("C:\\data\\"), "C:\\data\\"},
        {"slash kept", WithTrailingSeparator("/tmp/"), "/tmp/"},
        {"no separator for nothing", WithTrailingSeparator(""), ""},
        {"extension replaced", ChangeExtension("report.txt", "nbnx"), "report.nbnx"},
        {"same extension in capitals", ChangeExtension("report.NBNX", "nbnx"), "report.NBNX"},
        {"extension with a dot", ChangeExtension("report.nbnx", ".nbnx"), "report.nbnx"},
        {"long extension kept", ChangeExtension("archive.backup", "nbnx"), "archive.backup.nbnx"},
        {"last extension only", ChangeExtension("archive.tar.gz", "nbnx"), "archive.tar.nbnx"},
        {"no extension", ChangeExtension("noext", "nbnx"), "noext.nbnx"},
        {"a short dot in a folder counts", ChangeExtension("C:\\a.b\\c", "nbnx"), "C:\\a.nbnx"},
        {"a long one does not", ChangeExtension("C:\\a.bcdef\\c", "nbnx"), "C:\\a.bcdef\\c.nbnx"},
        {"trailing dot", ChangeExtension("x.", "nbnx"), "x.nbnx"},
        {"name only", ChangeNameExtension("C:\\node.js\\data", "nbnx"), "C:\\node.js\\data.nbnx"},
        {"name extension", ChangeNameExtension("C:\\docs\\report.txt", "nbnx"),
         "C:\\docs\\report.nbnx"},
        {"name already right", ChangeNameExtension("d.v2/x.NBNX", "nbnx"), "d.v2/x.NBNX"},
        {"bare name", ChangeNameExtension("backup", "nbnx"), "backup.nbnx"},
        {"trim", Trim("  a b  "), "a b"},
        {"trim control spaces", Trim("\t\r\n\v\f x \t"), "x"},
        {"trim to nothing", Trim("   "), ""},
        {"bytes above 0x7F are not white space", Trim("\xA0x\xA0"), "\xA0x\xA0"},
        {"upper", ToUpper("c:\\x\\report.doc"), "C:\\X\\REPORT.DOC"},
        {"lower", ToLower("C:\\Data\\A.TXT"), "c:\\data\\a.txt"},
        {"lower leaves Latin-1", ToLower("\xC9"), "\xC9"},
        {"upper leaves Latin-1", ToUpper("\xE9"), "\xE9"},
        {"replace a character", ReplaceChar("a/b/c", '/', '\\'), "a\\b\\c"},
        {"replace all", ReplaceAll("one two one", "one", "1"), "1 two 1"},
        {"every round searches from the start", ReplaceAll("aab", "ab", "b"), "b"},
        {"nothing to find", ReplaceAll("x", "", "y"), "x"},
        {"a replacement holding the text ends", ReplaceAll("a-a", "a", "aa"), "aa-aa"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, c.expected) << c.what;
    }
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

TEST(Paths, PlainFileNames) {
    for (const char* good : {"a", "r\xE9sum\xE9.txt", ".hidden", "COM10", "CONSOLE.txt", "a b.c",
                             "LPT0", "nul-device.txt"}) {
        EXPECT_TRUE(IsPlainFileName(good)) << good;
    }
    for (const char* bad : {"", ".", "..", "a\\b", "a/b", "c:x", "x.", "x ", "CON", "con.txt",
                            "Nul", "COM1", "lpt9.tar.gz", "AUX .txt", "a\tb", "a\x7F", "a>b"}) {
        EXPECT_FALSE(IsPlainFileName(bad)) << bad;
    }
}

} // namespace
