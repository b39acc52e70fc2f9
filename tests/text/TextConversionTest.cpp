// UTF-8 and UTF-16 both ways, and the password's bytes from every source:
// the same typed password must give the same bytes in the window, in a
// terminal and in a password file.

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "TextConversion.h"

using namespace NBUtility;

namespace {

TEST(Utf8, RoundTripsThroughUtf16) {
    const std::vector<std::pair<std::string, std::u16string>> cases = {
        {"report.txt", u"report.txt"},
        {"r\xC3\xA9sum\xC3\xA9", u"r\u00E9sum\u00E9"},
        {"\xC5\x81\xC3\xB3\x64\xC5\xBA", u"\u0141\u00F3d\u017A"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", u"\u65E5\u672C"},
        {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"}, // outside the BMP: a surrogate pair
        {"", u""},
    };
    for (const auto& [utf8, utf16] : cases) {
        std::u16string decoded;
        EXPECT_TRUE(Utf8ToUtf16(utf8, decoded)) << utf8;
        EXPECT_EQ(decoded, utf16) << utf8;
        EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
    }
}

// The Win32 boundary: narrow text is UTF-8, and a byte string that is not
// is still taken, one Latin-1 character per byte.
TEST(WideText, CarriesEveryCharacterAcrossTheWin32Boundary) {
    EXPECT_EQ(ToWide("r\xC3\xA9sum\xC3\xA9 \xC5\x81\xC3\xB3"
                     "d\xC5\xBA"),
              L"r\u00E9sum\u00E9 \u0141\u00F3d\u017A");
    EXPECT_EQ(ToWide("caf\xE9"), L"caf\u00E9");
    EXPECT_EQ(ToWide(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(ToNarrow(L"\u65E5\u672C"), "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(ToNarrow(ToWide("\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD")),
              "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD");
}

// A malformed sequence is refused; an unpaired surrogate becomes U+FFFD.
TEST(Utf8, MalformedTextIsRefusedAndAnUnpairedSurrogateReplaced) {
    for (const std::string bad : {"\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                  "\xF4\x90\x80\x80", "\xFF", "a\x80z", "caf\xE9"}) {
        std::u16string decoded = u"left over";
        EXPECT_FALSE(Utf8ToUtf16(bad, decoded)) << bad;
        EXPECT_TRUE(decoded.empty());
    }
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
}

// Every name that could be stored before is stored as it always was
// (Latin-1); a name beyond Latin-1 as UTF-8; each reads back as it was.
TEST(StoredName, KeepsEveryNameBothWays) {
    const std::vector<std::pair<std::u16string, std::string>> cases = {
        {u"report.txt", "report.txt"},
        {u"r\u00E9sum\u00E9.txt", "r\xE9sum\xE9.txt"},
        {u"\u00C3\u00A9.txt", "\xC3\xA9.txt"}, // Latin-1 that looks like UTF-8 stays Latin-1
        {u"\u0141\u00F3d\u017A.txt", "\xC5\x81\xC3\xB3"
                                     "d\xC5\xBA.txt"},
        {u"\u03A9mega.pdf", "\xCE\xA9mega.pdf"},
        {u"\u0418\u0432\u0430\u043D", "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD"},
        {u"\u65E5\u672C\u8A9E.docx", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.docx"},
        {u"\xD83D\xDE00.txt", "\xF0\x9F\x98\x80.txt"},
    };
    for (const auto& [characters, stored] : cases) {
        EXPECT_EQ(StoredNameOf(characters), stored) << stored;
        EXPECT_EQ(NameOfStored(stored), characters) << stored;
    }
    // A POSIX name that is not UTF-8 is taken as Latin-1.
    EXPECT_EQ(CharactersOfUtf8Name("caf\xE9.txt"), u"caf\u00E9.txt");
    EXPECT_EQ(CharactersOfUtf8Name("caf\xC3\xA9.txt"), u"caf\u00E9.txt");
}

TEST(PasswordBytes, TheSameTypedPasswordGivesTheSameBytesFromEverySource) {
    const std::string expected = "p\xE4ssw\xF6rd1"; // what the window has always made
    EXPECT_EQ(PasswordBytes(u"p\u00E4ssw\u00F6rd1"), expected);
    EXPECT_EQ(PasswordBytesOfUtf8("p\xC3\xA4ssw\xC3\xB6rd1"), expected);
    const std::vector<std::pair<const char*, std::string>> files = {
        {"UTF-8", "p\xC3\xA4ssw\xC3\xB6rd1\n"},
        {"UTF-8 with its mark", "\xEF\xBB\xBFp\xC3\xA4ssw\xC3\xB6rd1\r\n"},
        {"UTF-16 little-endian", std::string("\xFF\xFEp\0\xE4\0s\0s\0w\0\xF6\0r\0d\0"
                                             "1\0\r\0\n\0",
                                             24)},
        {"UTF-16 big-endian", std::string("\xFE\xFF\0p\0\xE4\0s\0s\0w\0\xF6\0r\0d\0"
                                          "1",
                                          20)},
        {"Latin-1, not UTF-8", "p\xE4ssw\xF6rd1\nsecond line"},
    };
    for (const auto& [what, contents] : files) {
        EXPECT_EQ(PasswordBytesOfFile(contents), expected) << what;
    }
    // One byte per character, whatever its UTF-8 length.
    std::string eightAcute;
    for (int i = 0; i < 8; ++i) {
        eightAcute += "\xC3\xA9";
    }
    EXPECT_EQ(PasswordBytesOfUtf8(eightAcute), std::string(8, '\xE9'));
    // Above U+00FF only the low byte counts: L with stroke (U+0141) is "A".
    EXPECT_EQ(PasswordBytesOfUtf8("\xC5\x81"), "A");
}

} // namespace
