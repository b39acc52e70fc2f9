// Controls: what the program's own use never reaches (limits against program
// text, styles re-applied to hidden or uncreated boxes, elements refused for
// want of a window), and the colours of its owner-drawn buttons.

#include "Button.h"
#include "CheckBoxes.h"
#include "Image.h"
#include "Menus.h"
#include "TabControl.h"
#include "TextBox.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace NBUtility;
using namespace NBTest;

namespace {

class Controls : public testing::Test {
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

TEST_F(Controls, TheTypingLimitBindsTheKeyboardButNotProgramText) {
    auto box = NewBox();
    box->Create();
    box->SetMaxLength(3); // set after creation: reaches the window
    Type(*box, L"wxyz");
    EXPECT_EQ(box->GetText(), L"wxy");
    box->SetTextNarrow("12345678901234567890");
    EXPECT_EQ(box->GetTextNarrow(), "12345678901234567890");
}

TEST_F(Controls, ApplyStyleChangesOnlyALiveWindowAndKeepsTextAndVisibility) {
    const auto passwordChar = [](TextBox& box) {
        return static_cast<wchar_t>(SendMessageW(box.window, EM_GETPASSWORDCHAR, 0, 0));
    };
    auto box = NewBox("secret");
    box->password = true;
    box->ApplyStyle(); // before creation: changes nothing
    box->SelectAll();
    EXPECT_EQ(box->window, nullptr);
    box->Create();
    EXPECT_EQ(passwordChar(*box), 0) << "Create does not mask";
    box->Hide();
    box->readOnly = true;
    box->ApplyStyle();
    EXPECT_EQ(passwordChar(*box), L'*');
    EXPECT_TRUE(GetWindowLongPtrW(box->window, GWL_STYLE) & ES_READONLY);
    EXPECT_FALSE(IsWindowVisible(box->window)) << "a hidden box stays hidden";
    box->password = false;
    box->Show();
    box->ApplyStyle();
    EXPECT_EQ(passwordChar(*box), 0);
    EXPECT_TRUE(IsWindowVisible(box->window));
    EXPECT_EQ(box->GetText(), L"secret");
}

TEST_F(Controls, ElementsWithoutAUsableOwnerAreNotMadeAndReadAsEmpty) {
    CheckBox check(nullptr, "Orphan");
    check.checked = true;
    check.Create();
    EXPECT_EQ(check.window, nullptr);
    EXPECT_FALSE(check.GetChecked());
    TabControl tabs(nullptr);
    tabs.Create();
    EXPECT_FALSE(tabs.AddTab(L"Encrypt"));
    Image image(nullptr, 1007);
    image.Create();
    EXPECT_FALSE(image.created);
    EXPECT_EQ(image.bitmap, nullptr);
    Menu loose("&Loose", nullptr);
    loose.Create();
    EXPECT_FALSE(loose.created);
    SubMenu stray(form.get(), "&Stray"); // not under a menu
    stray.Create();
    EXPECT_FALSE(stray.created);
    Form unshown(GetModuleHandleW(nullptr));
    MenuBar noWindow(&unshown);
    noWindow.Create();
    EXPECT_FALSE(noWindow.created);

    TabControl live(form.get());
    live.Create();
    DestroyWindow(live.window);
    EXPECT_FALSE(live.AddTab(L"Late")) << "a tab strip whose window is gone";
}

// The program's START, Info and Close buttons: frame and caption colours per
// state, checked in a memory DIB.
TEST_F(Controls, OwnerDrawnFrameAndCaptionColoursFollowTheState) {
    constexpr COLORREF White = RGB(255, 255, 255);
    constexpr COLORREF Blue = RGB(0, 0, 255);
    constexpr int Width = 120;
    constexpr int Height = 30;
    Button button(form.get(), "Start");
    button.ownerDraw = true;
    button.width = Width;
    button.height = Height;
    button.Create();
    ASSERT_NE(button.window, nullptr);
    const struct {
        const char* name;
        UINT state;
        COLORREF frame;
        COLORREF caption;
    } cases[] = {
        {"normal", 0, Blue, Blue},
        {"pressed", ODS_SELECTED, RGB(255, 255, 0), Blue},
        {"disabled", ODS_DISABLED, Button::DisabledFrameColor, Button::DisabledTextColor},
        {"disabled wins over pressed", ODS_DISABLED | ODS_SELECTED, Button::DisabledFrameColor,
         Button::DisabledTextColor},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PixelSurface surface(Width, Height, RGB(0, 0, 0));
        SetTextColor(surface.Context(), Blue);
        SetBkColor(surface.Context(), White);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = button.id;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = c.state;
        item.hwndItem = button.window;
        item.hDC = surface.Context();
        item.rcItem = {0, 0, Width, Height};
        Drawing drawing(&button);
        drawing.Borrow(surface.Context());
        button.PaintItem(drawing, item);
        EXPECT_EQ(surface.At(0, 0), c.frame);
        EXPECT_EQ(surface.At(Width / 2, Height - 1), c.frame);
        EXPECT_EQ(surface.At(1, 1), White); // filled with the background colour
        EXPECT_GT(surface.CountIn(c.caption, {1, 1, Width - 1, Height - 1}), 0);
        EXPECT_EQ(GetTextColor(surface.Context()), Blue); // context left as it was
    }
}

} // namespace
