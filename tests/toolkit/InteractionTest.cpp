// Keyboard navigation, notifications, control colours and activation, driven
// by the messages that input would produce.

#include "Drawing.h"
#include "ElementRegistry.h"
#include "Form.h"
#include "OwnerDrawn.h"
#include "WindowProcedure.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace NBUtility;
using NBTest::NewShownForm;
using NBTest::TestEdit;

namespace {

// Holds the Shift key down for this thread's GetKeyState while alive.
class ShiftDown {
public:
    ShiftDown() {
        GetKeyboardState(saved_);
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
    }
    ~ShiftDown() { SetKeyboardState(saved_); }

private:
    BYTE saved_[256];
};

TEST(TabNavigation, TabAndShiftTabMoveBetweenTheFormsTabStops) {
    std::unique_ptr<Form> form(NewShownForm());
    TestEdit first(form.get());
    TestEdit second(form.get());
    second.y = 40;
    first.Create();
    second.Create();
    std::vector<std::int32_t> keys;
    first.onKeyDown = [&keys](GUIElement*, std::int32_t key) {
        keys.push_back(key);
        return 0;
    };
    SetForegroundWindow(form->window);
    first.Focus();
    ASSERT_EQ(GetFocus(), first.window);

    SendMessageW(first.window, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), second.window);
    EXPECT_EQ(keys, (std::vector<std::int32_t>{VK_TAB})); // the key still reaches onKeyDown

    {
        ShiftDown shift;
        SendMessageW(second.window, WM_KEYDOWN, VK_TAB, 0);
        EXPECT_EQ(GetFocus(), first.window);
    }

    // The dialog manager's request, as it reaches a tool-window form.
    SendMessageW(form->window, WM_NEXTDLGCTL, 0, 0);
    EXPECT_EQ(GetFocus(), second.window);
    SendMessageW(form->window, WM_NEXTDLGCTL, 1, 0);
    EXPECT_EQ(GetFocus(), first.window);
    SendMessageW(form->window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(second.window), 1);
    EXPECT_EQ(GetFocus(), second.window);
}

class NotifiedEdit : public TestEdit {
public:
    using TestEdit::TestEdit;
    void OnNotify(std::int32_t kind, std::vector<std::int32_t> numbers,
                  std::vector<std::string>) override {
        notes.push_back({kind, numbers});
    }
    struct Note {
        std::int32_t kind;
        std::vector<std::int32_t> numbers;
        bool operator==(const Note& other) const {
            return kind == other.kind && numbers == other.numbers;
        }
    };
    std::vector<Note> notes;
};

TEST(Notifications, ReachTheSenderElementWithTheirNumbers) {
    std::unique_ptr<Form> form(NewShownForm());
    NotifiedEdit sender(form.get());
    sender.Create();
    HDITEMW item{};
    item.mask = HDI_WIDTH;
    item.cxy = 77;
    NMHEADERW header{};
    header.hdr.hwndFrom = sender.window;
    header.hdr.idFrom = sender.id;
    header.iItem = 3;
    header.pitem = &item;
    const UINT codes[] = {HDN_ITEMCHANGEDW, HDN_ITEMCLICKW, static_cast<UINT>(NM_RCLICK),
                          static_cast<UINT>(NM_DBLCLK)};
    for (UINT code : codes) {
        header.hdr.code = code;
        SendMessageW(form->window, WM_NOTIFY, sender.id, reinterpret_cast<LPARAM>(&header));
    }
    header.hdr.hwndFrom = form->window; // a sender that is not the edit
    header.hdr.code = NM_RCLICK;
    SendMessageW(form->window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(sender.notes, (std::vector<NotifiedEdit::Note>{{1, {3, 77}}, {2, {3}}, {3, {}}}));
}

class ColouringForm : public Form {
public:
    ColouringForm() : Form(GetModuleHandleW(nullptr)), brush(CreateSolidBrush(RGB(1, 2, 3))) {
        topMost = false;
    }
    ~ColouringForm() override { DeleteObject(brush); }
    HBRUSH OnControlColor(HDC deviceContext) override {
        seenContext = deviceContext;
        return brush;
    }
    HBRUSH brush;
    HDC seenContext = nullptr;
};

TEST(ControlColours, TheParentsBrushIsReturnedForItsControls) {
    ColouringForm form;
    form.Create();
    TestEdit edit(&form);
    edit.Create();
    HDC context = GetDC(edit.window);
    for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}) {
        form.seenContext = nullptr;
        EXPECT_EQ(SendMessageW(form.window, message, reinterpret_cast<WPARAM>(context),
                               reinterpret_cast<LPARAM>(edit.window)),
                  reinterpret_cast<LRESULT>(form.brush));
        EXPECT_EQ(form.seenContext, context);
    }
    ReleaseDC(edit.window, context);
}

TEST(Activation, TheActiveFormHoldsItsHotKeysAndHandsThemOver) {
    std::unique_ptr<Form> first(NewShownForm(L"first"));
    std::unique_ptr<Form> second(NewShownForm(L"second"));
    first->hotKeys.push_back({MOD_CONTROL | MOD_ALT, VK_F9, nullptr});
    std::vector<std::string> events;
    const auto log = [&events](std::string event) {
        return [&events, event](GUIElement*) {
            events.push_back(event);
            return 0;
        };
    };
    first->onActivated = log("first on");
    first->onDeactivated = log("first off");
    second->onActivated = log("second on");
    SetForegroundWindow(first->window);
    if (GetForegroundWindow() != first->window) {
        GTEST_SKIP() << "this display gives no foreground window to the test";
    }
    NBTest::PumpFor(50);
    EXPECT_EQ(ActiveForm(), first.get());
    // While the first form is active its combination is taken.
    EXPECT_FALSE(RegisterHotKey(second->window, 1, MOD_CONTROL | MOD_ALT, VK_F9));

    events.clear();
    SetForegroundWindow(second->window);
    NBTest::PumpFor(50);
    ASSERT_EQ(ActiveForm(), second.get());
    EXPECT_NE(std::find(events.begin(), events.end(), "first off"), events.end());
    EXPECT_EQ(events.back(), "second on");
    EXPECT_TRUE(RegisterHotKey(second->window, 1, MOD_CONTROL | MOD_ALT, VK_F9));
    UnregisterHotKey(second->window, 1);
}

class DrawnButton : public NBTest::TestButton, public OwnerDrawn {
public:
    using TestButton::TestButton;
    void Create() override { CreateControl(L"Button", BS_OWNERDRAW, 0, true); }
    void PaintItem(Drawing& surface, const DRAWITEMSTRUCT& item) override {
        ++paints;
        surfaceWasActive = surface.IsActive() && surface.Context() == item.hDC;
        surface.FillRect(0, 0, item.rcItem.right + 1, item.rcItem.bottom + 1, RGB(0, 0, 200));
    }
    int paints = 0;
    bool surfaceWasActive = false;
};

TEST(Painting, OwnerDrawnButtonPaintsItselfOnTheBorrowedContext) {
    std::unique_ptr<Form> form(NewShownForm());
    DrawnButton button(form.get());
    button.Create();
    InvalidateRect(button.window, nullptr, TRUE);
    UpdateWindow(button.window);
    EXPECT_GE(button.paints, 1);
    EXPECT_TRUE(button.surfaceWasActive);
    EXPECT_EQ(NBTest::ScreenPixel(button.window, 5, 5), RGB(0, 0, 200));
}

TEST(Painting, BackgroundColourLeavesRoomForThePaintHandler) {
    std::unique_ptr<Form> form(NewShownForm());
    form->onPaint = [](GUIElement* e) {
        Drawing surface(e);
        surface.BeginPaint();
        surface.FillRect(10, 10, 40, 40, RGB(0, 0, 200));
        return 0;
    };
    form->SetBackColor(RGB(200, 0, 0));
    ASSERT_TRUE(form->backgroundPainted);
    InvalidateRect(form->window, nullptr, FALSE);
    UpdateWindow(form->window);
    EXPECT_EQ(NBTest::ScreenPixel(form->window, 20, 20), RGB(0, 0, 200));
    EXPECT_EQ(NBTest::ScreenPixel(form->window, 100, 100), RGB(200, 0, 0));
}

} // namespace
