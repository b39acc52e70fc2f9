// Keyboard navigation, control colours, activation and painting, driven by
// the messages that input would produce.

#include "Drawing.h"
#include "Form.h"
#include "OwnerDrawn.h"
#include "WindowProcedure.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace NBUtility;
using NBTest::NewShownForm;
using NBTest::TestEdit;

namespace {

TEST(TabNavigation, TabAndTheDialogManagersRequestsMoveBetweenTheFormsTabStops) {
    std::unique_ptr<Form> form(NewShownForm());
    TestEdit first(form.get());
    TestEdit second(form.get());
    second.y = 40;
    first.Create();
    second.Create();
    int keys = 0;
    first.onKeyDown = [&keys](GUIElement*, std::int32_t key) { return keys += key == VK_TAB; };
    SetForegroundWindow(form->window);
    first.Focus();
    ASSERT_EQ(GetFocus(), first.window);
    SendMessageW(first.window, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), second.window);
    EXPECT_EQ(keys, 1) << "the key still reaches onKeyDown";
    // As they reach a tool-window form.
    SendMessageW(form->window, WM_NEXTDLGCTL, 1, 0);
    EXPECT_EQ(GetFocus(), first.window);
    SendMessageW(form->window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(second.window), 1);
    EXPECT_EQ(GetFocus(), second.window);
}

// Like the main window: a brush of its own for its controls, a band painted
// over its background.
class ColouringForm : public Form {
public:
    ColouringForm() : Form(GetModuleHandleW(nullptr)), brush(CreateSolidBrush(RGB(1, 2, 3))) {
        topMost = false;
        x = y = 50;
        width = 300;
        height = 200;
    }
    ~ColouringForm() override { DeleteObject(brush); }
    HBRUSH OnControlColor(HDC deviceContext) override {
        seenContext = deviceContext;
        return brush;
    }
    std::int32_t OnPaint() override {
        Drawing surface(this);
        surface.BeginPaint();
        surface.FillRect(0, 0, 300, 30, RGB(0, 200, 0));
        surface.End();
        return Form::OnPaint();
    }
    HBRUSH brush;
    HDC seenContext = nullptr;
};

class DrawnButton : public NBTest::TestButton, public OwnerDrawn {
public:
    using TestButton::TestButton;
    void Create() override { CreateControl(L"Button", BS_OWNERDRAW, 0, true); }
    void PaintItem(Drawing& surface, const DRAWITEMSTRUCT& item) override {
        surfaceWasActive = surface.IsActive() && surface.Context() == item.hDC;
        surface.FillRect(0, 0, item.rcItem.right + 1, item.rcItem.bottom + 1, RGB(0, 0, 200));
    }
    bool surfaceWasActive = false;
};

TEST(Painting, TheFormPaintsItsBandItsControlsGetItsBrushAndOwnerDrawnOnesPaintThemselves) {
    ColouringForm form;
    form.Create();
    InvalidateRect(form.window, nullptr, TRUE);
    UpdateWindow(form.window);
    EXPECT_EQ(NBTest::ScreenPixel(form.window, 200, 20), RGB(0, 200, 0));
    EXPECT_NE(NBTest::ScreenPixel(form.window, 200, 100), RGB(0, 200, 0));
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

    DrawnButton button(&form);
    button.Create();
    InvalidateRect(button.window, nullptr, TRUE);
    UpdateWindow(button.window);
    EXPECT_TRUE(button.surfaceWasActive);
    EXPECT_EQ(NBTest::ScreenPixel(button.window, 5, 5), RGB(0, 0, 200));
}

TEST(Activation, TheActiveFormHoldsItsHotKeysAndHandsThemOver) {
    std::unique_ptr<Form> first(NewShownForm(L"first"));
    std::unique_ptr<Form> second(NewShownForm(L"second"));
    first->hotKeys.push_back({MOD_CONTROL | MOD_ALT, VK_F9, nullptr});
    std::vector<std::string> events;
    first->onDeactivated = [&events](GUIElement*) {
        events.push_back("first off");
        return 0;
    };
    second->onActivated = [&events](GUIElement*) {
        events.push_back("second on");
        return 0;
    };
    SetForegroundWindow(first->window);
    if (GetForegroundWindow() != first->window) {
        GTEST_SKIP() << "this display gives no foreground window to the test";
    }
    NBTest::PumpFor(50);
    EXPECT_EQ(ActiveForm(), first.get());
    EXPECT_FALSE(RegisterHotKey(second->window, 1, MOD_CONTROL | MOD_ALT, VK_F9)) << "taken";
    events.clear();
    SetForegroundWindow(second->window);
    NBTest::PumpFor(50);
    ASSERT_EQ(ActiveForm(), second.get());
    EXPECT_NE(std::find(events.begin(), events.end(), "first off"), events.end());
    EXPECT_EQ(events.back(), "second on");
    EXPECT_TRUE(RegisterHotKey(second->window, 1, MOD_CONTROL | MOD_ALT, VK_F9));
    UnregisterHotKey(second->window, 1);
}

} // namespace
