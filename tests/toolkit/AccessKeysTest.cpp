// Access keys as the dialog manager reads and runs them, in a form that is no
// dialog box: the marked letter, a label's key reaching the box after it, a
// button's key clicking it, and nothing for what is hidden or unmarked.

#include "AccessKeys.h"
#include "Form.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace NBUtility;

namespace {

TEST(AccessKeyText, TheMarkedLetterAndTheCaptionAsRead) {
    struct Case {
        const wchar_t* caption;
        wchar_t key;
        const wchar_t* read;
    } cases[] = {
        {L"&Password:", L'p', L"Password:"},
        {L"Co&nfirm password:", L'n', L"Confirm password:"},
        {L"ST&ART", L'a', L"START"},
        {L"Status:", 0, L"Status:"},
        {L"R&&D", 0, L"R&D"},
        {L"R&&D &notes", L'n', L"R&D notes"},
        {L"Ends with &", 0, L"Ends with &"},
        {L"", 0, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.caption);
        EXPECT_EQ(AccessKeyOf(c.caption), c.key);
        EXPECT_EQ(WithoutAccessKey(c.caption), c.read);
    }
}

class RunningKeys : public testing::Test {
protected:
    void SetUp() override { form.reset(NBTest::NewShownForm()); }

    HWND Add(const wchar_t* kind, const wchar_t* caption, DWORD style) {
        HWND made = CreateWindowExW(0, kind, caption, WS_CHILD | WS_VISIBLE | style, 10, next, 150,
                                    20, form->window, nullptr, GetModuleHandleW(nullptr), nullptr);
        next += 22;
        return made;
    }

    // As the keyboard brings it: to the form when no control has the focus.
    void PressAlt(wchar_t key) { SendMessageW(form->window, WM_SYSCHAR, key, 1 << 29); }

    std::unique_ptr<Form> form;
    int next = 5;
};

TEST_F(RunningKeys, ALabelFocusesTheNextBoxThatTakesTheFocusAndAButtonIsClicked) {
    HWND nameLabel = Add(L"static", L"&Name:", 0);
    Add(L"static", L"a note between", 0);
    HWND nameBox = Add(L"edit", L"", WS_TABSTOP);
    HWND hiddenLabel = Add(L"static", L"&Hidden box:", 0);
    HWND hiddenBox = Add(L"edit", L"", WS_TABSTOP);
    ShowWindow(hiddenBox, SW_HIDE);
    Add(L"static", L"&Literal", SS_NOPREFIX);
    HWND check = Add(L"button", L"&Keep", BS_AUTOCHECKBOX | WS_TABSTOP);
    ASSERT_TRUE(nameLabel && nameBox && hiddenLabel && check);

    PressAlt(L'N');
    EXPECT_EQ(GetFocus(), nameBox) << "upper case finds the same key";

    PressAlt(L'k');
    EXPECT_EQ(GetFocus(), check);
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);

    PressAlt(L'h');
    EXPECT_EQ(GetFocus(), check) << "the label's box is hidden";
    for (const wchar_t unmarked : {L'l', L'z'}) {
        EXPECT_FALSE(RunAccessKey(form->window, unmarked)) << "a literal '&' or no such key";
    }
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(RunningKeys, HiddenOrDisabledControlsHaveNoKey) {
    HWND hidden = Add(L"button", L"&Go", BS_PUSHBUTTON | WS_TABSTOP);
    HWND disabled = Add(L"button", L"&Stop", BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED);
    ShowWindow(hidden, SW_HIDE);
    EXPECT_FALSE(RunAccessKey(form->window, L'g'));
    EXPECT_FALSE(RunAccessKey(form->window, L's'));
    EXPECT_EQ(SendMessageW(disabled, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

} // namespace
