#include <gtest/gtest.h>

#include "TextConversion.h"

using namespace NBUtility;

namespace {

TEST(TextConversion, WideStopsAtTheFirstZeroByte) {
    EXPECT_EQ(ToWide(""), L"");
    EXPECT_EQ(ToWide(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(ToWide("\xE9\xFF"), std::wstring({0x00E9, 0x00FF}));
}

TEST(TextConversion, NarrowKeepsTheLowByteOfEveryUnit) {
    EXPECT_EQ(ToNarrow(L""), "");
    EXPECT_EQ(ToNarrow(std::wstring({0x20AC})), "\xAC");
    EXPECT_EQ(ToNarrow(std::wstring({0x0141})), "A");
    EXPECT_EQ(ToNarrow(std::wstring({'a', 0, 'b'})), std::string("a\0b", 3));
}

TEST(TextConversion, EveryNarrowCharacterSurvivesARoundTrip) {
    std::string all;
    for (int c = 1; c < 256; ++c) {
        all.push_back(static_cast<char>(c));
    }
    EXPECT_EQ(ToNarrow(ToWide(all)), all);
}

TEST(TextConversion, Int64ToText) {
    EXPECT_EQ(Int64ToText(0), "0");
    EXPECT_EQ(Int64ToText(-1), "-1");
    EXPECT_EQ(Int64ToText(217), "217");
    EXPECT_EQ(Int64ToText(INT64_MAX), "9223372036854775807");
    EXPECT_EQ(Int64ToText(INT64_MIN), "-9223372036854775808");
}

} // namespace
