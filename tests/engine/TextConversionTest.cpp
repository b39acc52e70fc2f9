#include <gtest/gtest.h>

#include "TextConversion.h"

using namespace NBUtility;

namespace {

TEST(TextConversion, WideStopsAtTheFirstZeroAndLatin1BytesComeBack) {
    EXPECT_EQ(ToWide(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(ToNarrow(std::wstring({'a', 0, 'b'})), std::string("a\0b", 3));
    std::string all;
    for (int c = 1; c < 256; ++c) {
        all.push_back(static_cast<char>(c));
    }
    EXPECT_EQ(ToWide("\xE9\xFF"), std::wstring({0x00E9, 0x00FF}));
    EXPECT_EQ(ToNarrow(ToWide(all)), all) << "every Latin-1 byte survives a round trip";
    EXPECT_TRUE(HasNarrowForm(ToWide(all)));
    EXPECT_FALSE(HasNarrowForm(L"report\x0100.txt"));
    EXPECT_FALSE(HasNarrowForm(L"\x4E2D"));
}

} // namespace
