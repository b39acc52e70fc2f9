// Messages reach exactly the element that owns the receiving window, through
// its callback, with their arguments; dead windows and elements are never
// matched again.

#include "CellControl.h"
#include "ElementRegistry.h"
#include "Form.h"
#include "PanelChildren.h"
#include "WindowProcedure.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

using namespace NBUtility;
using NBTest::TestEdit;

namespace {

// A static text: an edit would open its context menu on the right button.
class TestLabel : public Child {
public:
    explicit TestLabel(GUIElement* parentElement) {
        parent = parentElement;
        width = 100;
        height = 20;
    }
    void Create() override { CreateControl(L"static", SS_NOTIFY, 0, false); }
};

class Routing : public testing::Test {
protected:
    void SetUp() override {
        form.reset(NBTest::NewShownForm());
        edit = std::make_unique<TestEdit>(form.get());
        edit->Create();
        ASSERT_NE(edit->window, nullptr);
    }
    std::unique_ptr<Form> form;
    std::unique_ptr<TestEdit> edit; // goes before its form
};

TEST_F(Routing, MouseButtonsReachTheOwnersHandlerWithSignedCoordinates) {
    TestLabel label(form.get());
    CellControl cell(form.get()); // a window class of the toolkit's own
    cell.y = 40;
    cell.width = cell.height = 30;
    label.Create();
    cell.Create();
    GUIElement* owners[] = {&label, &cell, form.get()};
    using CallLog = std::vector<std::tuple<GUIElement*, std::int32_t, std::int32_t>>;
    const CallLog expected{{&label, -5, 7}, {&cell, 3, 4}, {form.get(), 300, -2}};
    // Only the slot under test is bound: a message routed elsewhere logs nothing.
    const std::pair<UINT, MouseButtonHandler GUIElement::*> cases[] = {
        {WM_LBUTTONDOWN, &GUIElement::onLeftButtonDown},
        {WM_LBUTTONUP, &GUIElement::onLeftButtonUp},
        {WM_LBUTTONDBLCLK, &GUIElement::onLeftDoubleClick},
        {WM_RBUTTONDOWN, &GUIElement::onRightButtonDown},
        {WM_RBUTTONUP, &GUIElement::onRightButtonUp},
        {WM_RBUTTONDBLCLK, &GUIElement::onRightDoubleClick},
    };
    for (const auto& [message, slot] : cases) {
        CallLog log;
        for (GUIElement* owner : owners) {
            owner->*slot = [&log](GUIElement* e, HWND window, std::int32_t x, std::int32_t y) {
                EXPECT_EQ(window, e->window);
                log.emplace_back(e, x, y);
                return 0;
            };
        }
        for (const auto& [owner, x, y] : expected) {
            SendMessageW(owner->window, message, 0,
                         MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
        }
        EXPECT_EQ(log, expected) << message;
        for (GUIElement* owner : owners) {
            owner->*slot = nullptr;
        }
    }
}

TEST_F(Routing, UnknownWindowIsNotRoutedToAnElementWaitingToBeCreated) {
    // Constructed but not created: the last registered element, with no window.
    TestEdit waiting(form.get());
    HWND stranger = CreateWindowExW(0, L"static", L"", WS_CHILD, 0, 0, 10, 10, form->window,
                                    nullptr, nullptr, nullptr);
    ASSERT_NE(stranger, nullptr);
    EXPECT_EQ(ElementRegistry::FindByWindow(stranger), nullptr);
    int clicks = 0;
    waiting.onLeftButtonDown = [&clicks](GUIElement*, HWND, std::int32_t, std::int32_t) {
        return ++clicks;
    };
    WindowProcedure(stranger, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(clicks, 0);
    DestroyWindow(stranger);
}

TEST_F(Routing, ControlKeepsItsOwnBehaviourAfterItsElementIsGone) {
    HWND control = edit->window;
    edit.reset();
    ASSERT_TRUE(IsWindow(control));
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC)), WindowProcedure);
    // Only the edit class answers this; default processing would give 0.
    SendMessageW(control, EM_SETLIMITTEXT, 7, 0);
    EXPECT_EQ(SendMessageW(control, EM_GETLIMITTEXT, 0, 0), 7);
}

TEST_F(Routing, WheelNotchesScrollAPanelAndOtherWindowsPassThemToTheLastClickedPanel) {
    PanelChildren panel(form.get());
    panel.width = 200;
    panel.height = 120;
    panel.verticalScroll = true; // 0..100: a page of 10
    panel.Create();
    TestEdit child(&panel);
    child.Create();
    const auto wheel = [&](HWND target, short delta) {
        SendMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0);
        return GetScrollPos(panel.window, SB_VERT);
    };
    EXPECT_EQ(wheel(panel.window, -WHEEL_DELTA), 10);
    EXPECT_EQ(wheel(child.window, -WHEEL_DELTA), 10) << "no panel clicked yet";
    SendMessageW(panel.window, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(wheel(child.window, -WHEEL_DELTA), 20);
    SendMessageW(child.window, WM_LBUTTONDOWN, 0, 0); // a click elsewhere ends that
    EXPECT_EQ(wheel(child.window, -WHEEL_DELTA), 20);
}

TEST_F(Routing, HotKeyReachesTheForegroundFormsCallbackAndADeletedFormIsNoLongerActive) {
    std::vector<std::int32_t> seen;
    form->hotKeys.push_back({MOD_ALT, 'Q', [&](Form* f, std::int32_t modifiers, std::int32_t key) {
                                 EXPECT_EQ(f, form.get());
                                 seen.insert(seen.end(), {modifiers, key});
                             }});
    SetForegroundWindow(form->window);
    SendMessageW(form->window, WM_ACTIVATE, WA_ACTIVE, 0);
    if (GetForegroundWindow() != form->window) {
        GTEST_SKIP() << "this display gives no foreground window to the test";
    }
    for (WPARAM id : {WPARAM{0}, WPARAM{2}, static_cast<WPARAM>(-1), WPARAM{1}}) {
        SendMessageW(form->window, WM_HOTKEY, id, 0);
    }
    EXPECT_EQ(seen, (std::vector<std::int32_t>{MOD_ALT, 'Q'}));
    ASSERT_EQ(ActiveForm(), form.get());
    edit.reset();
    form.reset();
    EXPECT_EQ(ActiveForm(), nullptr);
}

} // namespace
