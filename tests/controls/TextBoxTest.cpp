// Text box: style bits per flag, the typing limit against program text, and
// re-applying flags to the live window (password masking, visibility).

#include "TextBox.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace NBUtility;
using namespace NBTest;

namespace {

class TextBoxes : public testing::Test {
protected:
    void SetUp() override {
        form.reset(NewShownForm());
        ASSERT_NE(form->window, nullptr);
    }
    std::unique_ptr<TextBox> NewBox(const std::string& initial = "") {
        auto box = std::make_unique<TextBox>(form.get(), initial);
        box->width = 200;
        return box;
    }
    wchar_t PasswordCharOf(TextBox& box) {
        return static_cast<wchar_t>(SendMessageW(box.window, EM_GETPASSWORDCHAR, 0, 0));
    }
    // Types through the message queue, as the keyboard would.
    void Type(TextBox& box, const std::wstring& characters) {
        for (wchar_t c : characters) {
            PostMessageW(box.window, WM_CHAR, c, 1);
        }
        PumpUntil([&] {
            MSG pending;
            return !PeekMessageW(&pending, box.window, WM_CHAR, WM_CHAR, PM_NOREMOVE);
        });
    }
    std::unique_ptr<Form> form;
};

TEST_F(TextBoxes, ComputedStyleFollowsEachFlag) {
    using Flags = std::vector<bool TextBox::*>;
    struct Case {
        const char* name;
        Flags on;
        Flags off;
        DWORD present;
        DWORD absent;
    };
    const Case cases[] = {
        {"defaults",
         {},
         {},
         WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL,
         WS_DISABLED | ES_MULTILINE | ES_READONLY | ES_NUMBER | WS_HSCROLL | WS_VSCROLL},
        {"tab stop off still tabs", {}, {&TextBox::tabStop}, WS_TABSTOP, 0},
        {"disabled", {}, {&TextBox::enabled}, WS_DISABLED, 0},
        {"no border", {}, {&TextBox::border}, 0, WS_BORDER},
        {"scroll bars", {&TextBox::hScroll, &TextBox::vScroll}, {}, WS_HSCROLL | WS_VSCROLL, 0},
        {"numeric and read-only",
         {&TextBox::numeric, &TextBox::readOnly},
         {},
         ES_NUMBER | ES_READONLY,
         0},
        {"multi-line without wrap",
         {&TextBox::multiLine},
         {},
         ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_AUTOHSCROLL,
         0},
        {"multi-line with wrap",
         {&TextBox::multiLine, &TextBox::wordWrap},
         {},
         ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
         ES_AUTOHSCROLL},
        {"wrap alone does nothing", {&TextBox::wordWrap}, {}, ES_AUTOHSCROLL, ES_MULTILINE},
        {"upper wins over lower",
         {&TextBox::upperCase, &TextBox::lowerCase},
         {},
         ES_UPPERCASE,
         ES_LOWERCASE},
        {"lower alone", {&TextBox::lowerCase}, {}, ES_LOWERCASE, ES_UPPERCASE},
        {"right wins over centre",
         {&TextBox::alignRight, &TextBox::alignCenter},
         {},
         ES_RIGHT,
         ES_CENTER},
        {"centre alone", {&TextBox::alignCenter}, {}, ES_CENTER, ES_RIGHT},
        {"password adds no bit", {&TextBox::password}, {}, 0, ES_PASSWORD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto box = NewBox();
        for (bool TextBox::*flag : c.on) {
            (*box).*flag = true;
        }
        for (bool TextBox::*flag : c.off) {
            (*box).*flag = false;
        }
        const DWORD computed = box->ComputeStyle();
        EXPECT_TRUE(HasBits(computed, c.present)) << std::hex << computed;
        EXPECT_EQ(computed & c.absent, 0u) << std::hex << computed;
    }
}

TEST_F(TextBoxes, ANewBoxHasBorderEdgeTabStopAndTheEditsOwnLimit) {
    auto box = NewBox("start");
    box->Create();
    ASSERT_NE(box->window, nullptr);
    EXPECT_TRUE(HasBits(StyleOf(box->window), WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL));
    EXPECT_TRUE(HasBits(StyleOf(box->window, true), WS_EX_CLIENTEDGE));
    EXPECT_EQ(TextOf(box->window), L"start");

    HWND plain = CreateWindowExW(0, L"edit", L"", WS_CHILD, 0, 0, 50, 20, form->window, nullptr,
                                 nullptr, nullptr);
    EXPECT_EQ(SendMessageW(box->window, EM_GETLIMITTEXT, 0, 0),
              SendMessageW(plain, EM_GETLIMITTEXT, 0, 0));
    DestroyWindow(plain);

    auto borderless = NewBox();
    borderless->border = false;
    borderless->Create();
    EXPECT_FALSE(HasBits(StyleOf(borderless->window, true), WS_EX_CLIENTEDGE));
}

TEST_F(TextBoxes, PasswordBoxKeepsFifteenTypedCharactersButProgramTextWhole) {
    auto box = NewBox();
    box->SetMaxLength(15);
    box->Create();
    box->password = true;
    box->ApplyStyle();
    EXPECT_EQ(SendMessageW(box->window, EM_GETLIMITTEXT, 0, 0), 15);
    Type(*box, L"abcdefghijklmnop"); // 16 characters
    EXPECT_EQ(box->GetText(), L"abcdefghijklmno");
    const std::string twenty = "12345678901234567890";
    box->SetTextNarrow(twenty);
    EXPECT_EQ(box->GetTextNarrow(), twenty);

    auto later = NewBox();
    later->Create();
    later->SetMaxLength(3);
    Type(*later, L"wxyz");
    EXPECT_EQ(later->GetText(), L"wxy") << "a limit set after creation reaches the window";
}

TEST_F(TextBoxes, ApplyStyleSwitchesMaskingOnlyOnALiveWindowAndKeepsTheText) {
    auto box = NewBox("secret");
    box->password = true;
    box->ApplyStyle(); // before creation: changes nothing
    box->SelectAll();
    EXPECT_EQ(box->window, nullptr);
    box->Create();
    EXPECT_EQ(PasswordCharOf(*box), 0) << "Create does not mask";
    box->ApplyStyle();
    EXPECT_EQ(PasswordCharOf(*box), L'*');
    box->password = false;
    box->ApplyStyle();
    EXPECT_EQ(PasswordCharOf(*box), 0);
    EXPECT_EQ(box->GetText(), L"secret");
}

TEST_F(TextBoxes, ApplyStyleKeepsVisibilityAsItIs) {
    auto hidden = NewBox();
    auto shown = NewBox();
    hidden->Create();
    shown->Create();
    hidden->Hide();
    for (TextBox* box : {hidden.get(), shown.get()}) {
        box->readOnly = true;
        box->ApplyStyle();
        EXPECT_TRUE(HasBits(StyleOf(box->window), ES_READONLY));
    }
    EXPECT_FALSE(IsWindowVisible(hidden->window));
    EXPECT_FALSE(HasBits(StyleOf(hidden->window), WS_VISIBLE));
    EXPECT_TRUE(IsWindowVisible(shown->window));

    hidden->readOnly = false;
    hidden->ApplyStyle();
    EXPECT_FALSE(HasBits(StyleOf(hidden->window), ES_READONLY));
    EXPECT_FALSE(IsWindowVisible(hidden->window));
}

} // namespace
