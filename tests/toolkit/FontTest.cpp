// Font descriptors and the system error text.

#include "FontSpec.h"

#include <gtest/gtest.h>

using namespace NBUtility;

namespace {

LOGFONTW Describe(HFONT font) {
    LOGFONTW description{};
    EXPECT_NE(GetObjectW(font, sizeof description, &description), 0);
    return description;
}

TEST(FontSpec, HandleIsMadeOnFirstUseKeptAndFreed) {
    HFONT handle = nullptr;
    {
        FontSpec font("Arial", -14);
        handle = font.GetHandle();
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(font.GetHandle(), handle);
        EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(GetObjectType(handle), 0u);
}

TEST(FontSpec, FieldsShapeTheFontUntilItExists) {
    FontSpec font("Courier New", -20);
    font.bold = true;
    font.italic = true;
    font.fixedPitch = true;
    const LOGFONTW made = Describe(font.GetHandle());
    EXPECT_EQ(made.lfWeight, FW_BOLD);
    EXPECT_TRUE(made.lfItalic);
    EXPECT_FALSE(made.lfUnderline);
    EXPECT_EQ(made.lfHeight, -20);
    EXPECT_EQ(made.lfPitchAndFamily & 3, FIXED_PITCH);
    EXPECT_STREQ(made.lfFaceName, L"Courier New");

    font.bold = false;
    EXPECT_EQ(Describe(font.GetHandle()).lfWeight, FW_BOLD);
}

TEST(SystemErrorText, NoErrorGivesNoTextAndAKnownCodeTheUntrimmedSystemText) {
    SetLastError(0);
    EXPECT_EQ(SystemErrorText(), "");
    SetLastError(ERROR_FILE_NOT_FOUND);
    const std::string text = SystemErrorText();
    ASSERT_GT(text.size(), 2u);
    EXPECT_EQ(text.back(), '\n');
}

} // namespace
