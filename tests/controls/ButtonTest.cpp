// Buttons, check boxes and option boxes: styles, states after clicks and from
// code, the click callback, and the owner-drawn painting.

#include "Button.h"
#include "CheckBoxes.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace NBUtility;
using namespace NBTest;

namespace {

class Buttons : public testing::Test {
protected:
    void SetUp() override {
        form.reset(NewShownForm());
        ASSERT_NE(form->window, nullptr);
    }
    void Click(GUIElement& element) { SendMessageW(element.window, BM_CLICK, 0, 0); }
    bool LiveCheck(GUIElement& element) {
        return SendMessageW(element.window, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    std::unique_ptr<Form> form;
};

TEST_F(Buttons, EachSettingGivesItsWindowStyle) {
    enum Kind { Push, Check, Option };
    struct Case {
        const char* name;
        Kind kind;
        bool ownerDraw, tabStop, enabled, multiLine, groupStart, checked;
        DWORD present;
        DWORD absent;
    };
    const Case cases[] = {
        {"plain button", Push, false, true, true, false, false, false,
         WS_CHILD | WS_VISIBLE | WS_TABSTOP, WS_DISABLED | BS_OWNERDRAW},
        {"owner-drawn button", Push, true, true, true, false, false, false, BS_OWNERDRAW, 0},
        {"button without tab stop", Push, false, false, true, false, false, false, WS_CHILD,
         WS_TABSTOP},
        {"disabled button", Push, false, true, false, false, false, false, WS_DISABLED, 0},
        {"check box tabs even without tab stop", Check, false, false, true, false, false, false,
         WS_TABSTOP | BS_CHECKBOX, BS_MULTILINE},
        {"multi-line check box", Check, false, true, true, true, false, false,
         BS_CHECKBOX | BS_MULTILINE, 0},
        // A radio button keeps WS_TABSTOP only while checked (Windows and Wine).
        {"option box starting a group", Option, false, true, true, false, true, true,
         BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0},
        {"option box inside a group", Option, false, true, true, false, false, false,
         BS_AUTORADIOBUTTON, WS_GROUP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<Child> control;
        if (c.kind == Push) {
            auto button = std::make_unique<Button>(form.get(), "Go");
            button->ownerDraw = c.ownerDraw;
            control = std::move(button);
        } else if (c.kind == Check) {
            auto box = std::make_unique<CheckBox>(form.get(), "Check");
            box->multiLine = c.multiLine;
            control = std::move(box);
        } else {
            auto box = std::make_unique<OptionBox>(form.get(), "One");
            box->groupStart = c.groupStart;
            box->checked = c.checked;
            control = std::move(box);
        }
        control->tabStop = c.tabStop;
        control->enabled = c.enabled;
        control->Create();
        ASSERT_NE(control->window, nullptr);
        const DWORD style = StyleOf(control->window);
        EXPECT_TRUE(HasBits(style, c.present)) << std::hex << style;
        EXPECT_EQ(style & c.absent, 0u) << std::hex << style;
        DestroyWindow(control->window);
    }
}

TEST_F(Buttons, TabSkipsAButtonWithoutTabStopButNeverACheckOrOptionBox) {
    Button first(form.get(), "First");
    Button skipped(form.get(), "Skipped");
    skipped.tabStop = false;
    CheckBox check(form.get(), "Check");
    check.tabStop = false;
    OptionBox option(form.get(), "Option");
    option.checked = true; // an unchecked radio button is no tab stop
    for (Child* c : std::vector<Child*>{&first, &skipped, &check, &option}) {
        c->Create();
    }
    EXPECT_EQ(GetNextDlgTabItem(form->window, first.window, FALSE), check.window);
    EXPECT_EQ(GetNextDlgTabItem(form->window, check.window, FALSE), option.window);
}

TEST_F(Buttons, CheckBoxFlipsOncePerClickBeforeItsCallbackAndReadsTheLiveState) {
    CheckBox box(form.get(), "Check");
    box.SetChecked(true);
    EXPECT_EQ(box.window, nullptr);
    std::vector<bool> seenInCallback;
    box.onClick = [&](GUIElement* e) {
        seenInCallback.push_back(static_cast<CheckBox*>(e)->GetChecked());
    };
    box.Create();
    EXPECT_TRUE(LiveCheck(box));
    for (bool expected : {false, true, false}) {
        Click(box);
        EXPECT_EQ(LiveCheck(box), expected);
        EXPECT_EQ(box.checked, expected);
    }
    EXPECT_EQ(seenInCallback, (std::vector<bool>{false, true, false}));
    box.SetChecked(true);
    EXPECT_TRUE(LiveCheck(box));
    SendMessageW(box.window, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_FALSE(box.GetChecked());
    EXPECT_FALSE(box.checked);

    CheckBox orphan(nullptr, "Orphan"); // a child without a parent window is refused
    orphan.checked = true;
    orphan.Create();
    EXPECT_EQ(orphan.window, nullptr);
    EXPECT_FALSE(orphan.GetChecked()) << "a failed creation reads as unchecked";
}

// A mouse click at the button's centre, through the system's input queue: the
// system decides which window gets it (a disabled one never does).
void MouseClickOn(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    SetCursorPos((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
    INPUT presses[2] = {};
    presses[0].type = INPUT_MOUSE;
    presses[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    presses[1].type = INPUT_MOUSE;
    presses[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, presses, sizeof presses[0]);
}

TEST_F(Buttons, MouseClickOnAnEnabledButtonRaisesOnceAndOnADisabledOneNothing) {
    Button live(form.get(), "Live");
    Button dead(form.get(), "Dead");
    dead.x = 150;
    dead.enabled = false;
    int liveClicks = 0;
    int deadClicks = 0;
    live.onClick = [&](GUIElement*) { ++liveClicks; };
    dead.onClick = [&](GUIElement*) { ++deadClicks; };
    live.Create();
    dead.Create();
    // Above any window another test process may show on the same display.
    SetWindowPos(form->window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    MouseClickOn(live.window);
    EXPECT_TRUE(PumpUntil([&] { return liveClicks == 1; }));
    MouseClickOn(dead.window);
    PumpFor(200);
    EXPECT_EQ(deadClicks, 0);

    // Disabled later, through the setter.
    live.SetEnabled(false);
    MouseClickOn(live.window);
    PumpFor(200);
    EXPECT_EQ(liveClicks, 1);
}

class OptionGroups : public Buttons {
protected:
    void SetUp() override {
        Buttons::SetUp();
        for (int i = 0; i < 5; ++i) {
            boxes.push_back(std::make_unique<OptionBox>(form.get(), "option"));
            boxes.back()->y = 10 + 30 * i;
        }
        // Groups: {0, 1, 2} and {3, 4}.
        boxes[0]->groupStart = true;
        boxes[3]->groupStart = true;
    }
    void CreateAll() {
        for (auto& box : boxes) {
            box->Create();
        }
    }
    std::vector<bool> Live() {
        std::vector<bool> states;
        for (auto& box : boxes) {
            states.push_back(LiveCheck(*box));
        }
        return states;
    }
    std::vector<bool> Stored() {
        std::vector<bool> states;
        for (auto& box : boxes) {
            states.push_back(box->checked);
        }
        return states;
    }
    std::vector<std::unique_ptr<OptionBox>> boxes;
};

TEST_F(OptionGroups, CheckingFromCodeOrClickingUnchecksTheOthersOfItsGroupOnly) {
    boxes[0]->checked = true;
    boxes[3]->checked = true;
    CreateAll();
    boxes[2]->SetChecked(true);
    EXPECT_EQ(Live(), (std::vector<bool>{false, false, true, true, false}));
    EXPECT_EQ(Stored(), Live());
    boxes[2]->SetChecked(false);
    EXPECT_EQ(Live(), (std::vector<bool>{false, false, false, true, false}));
    Click(*boxes[1]);
    EXPECT_EQ(Live(), (std::vector<bool>{false, true, false, true, false}));
    EXPECT_TRUE(boxes[1]->GetChecked());
    Click(*boxes[4]);
    EXPECT_EQ(Live(), (std::vector<bool>{false, true, false, false, true}));
    EXPECT_FALSE(boxes[3]->GetChecked());
}

TEST_F(OptionGroups, BoxesCreatedCheckedLeaveOnlyTheLastOneChecked) {
    boxes[0]->checked = true;
    boxes[1]->checked = true;
    boxes[3]->checked = true;
    boxes[4]->checked = true;
    CreateAll();
    EXPECT_EQ(Live(), (std::vector<bool>{false, true, false, false, true}));
    EXPECT_EQ(Stored(), Live());
}

TEST_F(OptionGroups, OptionBoxesOfAnotherParentAreNotInTheGroup) {
    std::unique_ptr<Form> other(NewShownForm(L"other"));
    OptionBox elsewhere(other.get(), "elsewhere");
    elsewhere.groupStart = true;
    elsewhere.checked = true;
    boxes[0]->checked = true;
    CreateAll();
    elsewhere.Create();
    EXPECT_TRUE(LiveCheck(elsewhere));
    EXPECT_TRUE(LiveCheck(*boxes[0]));
    EXPECT_EQ(boxes[2]->GroupMembers().size(), 3u);
    EXPECT_EQ(boxes[4]->GroupMembers().size(), 2u);
}

// Owner-drawn painting, checked in a memory DIB.
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr int ItemWidth = 120;
constexpr int ItemHeight = 30;

DRAWITEMSTRUCT ItemFor(Button& button, HDC context, UINT state) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = button.id;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = button.window;
    item.hDC = context;
    item.rcItem = {0, 0, ItemWidth, ItemHeight};
    return item;
}

class OwnerDrawing : public Buttons {
protected:
    void Paint(HDC context, UINT state) {
        Drawing surface(button.get());
        surface.Borrow(context);
        button->PaintItem(surface, ItemFor(*button, context, state));
    }
    void SetUp() override {
        Buttons::SetUp();
        button = std::make_unique<Button>(form.get(), "Start");
        button->ownerDraw = true;
        button->width = ItemWidth;
        button->height = ItemHeight;
        button->Create();
        ASSERT_NE(button->window, nullptr);
    }
    void TearDown() override {
        button.reset();
        if (red != nullptr) {
            DeleteObject(red);
        }
    }
    std::unique_ptr<Button> button;
    HBITMAP red = nullptr;
};

TEST_F(OwnerDrawing, PrintClientPaintsFrameBitmapAndLeftAlignedCaption) {
    red = SolidBitmap(16, 16, Red);
    button->image = red;
    PixelSurface surface(ItemWidth, ItemHeight, White);
    SetTextColor(surface.Context(), Black);
    SendMessageW(button->window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Context()),
                 PRF_CLIENT);
    const COLORREF text = Black; // the system's button text colour
    EXPECT_EQ(surface.At(0, 0), text);
    EXPECT_EQ(surface.At(ItemWidth - 1, ItemHeight - 1), text);
    const int bitmapTop = (ItemHeight - 16) / 2;
    EXPECT_EQ(surface.At(5, bitmapTop), Red);
    EXPECT_EQ(surface.At(20, bitmapTop + 15), Red);
    EXPECT_NE(surface.At(4, bitmapTop), Red);
    EXPECT_NE(surface.At(21, bitmapTop), Red);
    // The caption starts at 16 + 8 and nothing of it lies left of that.
    const std::vector<int> captionColumns = surface.ColumnsWith(text, surface.Inside());
    ASSERT_FALSE(captionColumns.empty());
    EXPECT_GE(captionColumns.front(), 24);
    EXPECT_LT(captionColumns.front(), 40);
}

TEST_F(OwnerDrawing, CaptionWithoutImageIsCentredOverTheWholeWidth) {
    PixelSurface surface(ItemWidth, ItemHeight, White);
    SetTextColor(surface.Context(), Black);
    SetBkColor(surface.Context(), White);
    Paint(surface.Context(), 0);
    const std::vector<int> columns = surface.ColumnsWith(Black, surface.Inside());
    ASSERT_FALSE(columns.empty());
    const int leftGap = columns.front();
    const int rightGap = ItemWidth - 1 - columns.back();
    EXPECT_LE(std::abs(leftGap - rightGap), 4);
    EXPECT_GT(leftGap, 20);
}

struct StateCase {
    const char* name;
    UINT state;
    COLORREF textColor;
    COLORREF frame;
    COLORREF caption;
};

TEST_F(OwnerDrawing, FrameAndCaptionColoursFollowTheState) {
    const COLORREF blue = RGB(0, 0, 255);
    const StateCase cases[] = {
        {"normal", 0, blue, blue, blue},
        {"pressed", ODS_SELECTED, blue, RGB(255, 255, 0), blue},
        {"disabled", ODS_DISABLED, blue, Button::DisabledFrameColor, Button::DisabledTextColor},
        {"disabled wins over pressed", ODS_DISABLED | ODS_SELECTED, blue,
         Button::DisabledFrameColor, Button::DisabledTextColor},
    };
    for (const StateCase& c : cases) {
        SCOPED_TRACE(c.name);
        PixelSurface surface(ItemWidth, ItemHeight, Black);
        SetTextColor(surface.Context(), c.textColor);
        SetBkColor(surface.Context(), White);
        Paint(surface.Context(), c.state);
        EXPECT_EQ(surface.At(0, 0), c.frame);
        EXPECT_EQ(surface.At(ItemWidth / 2, ItemHeight - 1), c.frame);
        EXPECT_EQ(surface.At(1, 1), White); // filled with the background colour
        EXPECT_GT(surface.CountIn(c.caption, surface.Inside()), 0);
        EXPECT_EQ(GetTextColor(surface.Context()), c.textColor); // context left as it was
    }
}

TEST_F(OwnerDrawing, FocusDrawsADottedRectangleInsetByThree) {
    PixelSurface plain(ItemWidth, ItemHeight, White);
    PixelSurface focused(ItemWidth, ItemHeight, White);
    for (PixelSurface* s : {&plain, &focused}) {
        SetTextColor(s->Context(), Black);
        SetBkColor(s->Context(), White);
    }
    button->SetTextNarrow("");
    Paint(plain.Context(), 0);
    Paint(focused.Context(), ODS_FOCUS);
    int changedOnInset = 0;
    for (int x = 4; x < ItemWidth - 4; ++x) {
        changedOnInset += plain.At(x, 3) != focused.At(x, 3) ? 1 : 0;
        EXPECT_EQ(plain.At(x, 2), focused.At(x, 2));
        EXPECT_EQ(plain.At(x, 4), focused.At(x, 4));
    }
    EXPECT_GT(changedOnInset, 10);
}

TEST_F(OwnerDrawing, ImageOffsetsFollowTheImageOfTheCurrentState) {
    red = SolidBitmap(16, 16, Red);
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    PixelSurface surface(ItemWidth, ItemHeight, White);
    Drawing drawing(button.get());
    drawing.Borrow(surface.Context());
    const RECT item{0, 0, ItemWidth, ItemHeight};

    EXPECT_EQ(button->DrawImage(drawing, item, false), 0); // nothing set
    button->icon = icon;
    EXPECT_EQ(button->DrawImage(drawing, item, false), 40);
    button->image = red;
    EXPECT_EQ(button->DrawImage(drawing, item, false), 24);
    // Disabled with only enabled images: nothing is drawn.
    button->enabled = false;
    EXPECT_EQ(button->DrawImage(drawing, item, false), 0);
    button->disabledIcon = icon;
    EXPECT_EQ(button->DrawImage(drawing, item, false), 40);
}

TEST_F(OwnerDrawing, UnreadableBitmapsAndOtherItemKindsDrawNothing) {
    HBITMAP gone = SolidBitmap(16, 16, Red);
    DeleteObject(gone);
    button->image = gone;
    PixelSurface surface(ItemWidth, ItemHeight, White);
    Drawing drawing(button.get());
    drawing.Borrow(surface.Context());
    EXPECT_EQ(button->DrawImage(drawing, {0, 0, ItemWidth, ItemHeight}, false), 0);
    DRAWITEMSTRUCT item = ItemFor(*button, surface.Context(), 0);
    item.CtlType = ODT_MENU; // left to the system
    EXPECT_EQ(SendMessageW(form->window, WM_DRAWITEM, button->id, reinterpret_cast<LPARAM>(&item)),
              0);
    EXPECT_EQ(surface.CountIn(White, surface.All()), ItemWidth * ItemHeight);
}

} // namespace
