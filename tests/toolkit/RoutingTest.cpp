// Messages reach exactly the element that owns the receiving window, through
// its callback, with their arguments; dead windows and elements are never
// matched again.

#include "ElementRegistry.h"
#include "Form.h"
#include "WindowProcedure.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

using namespace NBUtility;
using NBTest::NewShownForm;
using NBTest::TestButton;
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

using CallLog = std::vector<std::tuple<GUIElement*, std::int32_t, std::int32_t>>;

class Routing : public testing::Test {
protected:
    void SetUp() override {
        form.reset(NewShownForm());
        edit = std::make_unique<TestEdit>(form.get());
        edit->Create();
        ASSERT_NE(edit->window, nullptr);
    }
    void TearDown() override {
        edit.reset();
        form.reset();
    }
    std::unique_ptr<Form> form;
    std::unique_ptr<TestEdit> edit;
    CallLog log;
};

TEST_F(Routing, MouseButtonsReachTheOwnersHandlerWithSignedCoordinates) {
    TestLabel label(form.get());
    label.Create();
    GUIElement* owners[] = {&label, form.get()};
    const auto send = [&](UINT message) {
        SendMessageW(label.window, message, 0, MAKELPARAM(static_cast<WORD>(-5), 7));
        SendMessageW(form->window, message, 0, MAKELPARAM(300, static_cast<WORD>(-2)));
    };
    const CallLog expected{{&label, -5, 7}, {form.get(), 300, -2}};
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
        log.clear();
        for (GUIElement* owner : owners) {
            owner->*slot = [this](GUIElement* e, HWND window, std::int32_t x, std::int32_t y) {
                EXPECT_EQ(window, e->window);
                log.emplace_back(e, x, y);
                return 0;
            };
        }
        send(message);
        EXPECT_EQ(log, expected) << message;
        for (GUIElement* owner : owners) {
            owner->*slot = nullptr;
        }
    }
}

TEST_F(Routing, ACharacterRefusedByOnCharNeverReachesTheControl) {
    SendMessageW(edit->window, WM_CHAR, 'q', 1); // no callback: it passes
    edit->onChar = [](GUIElement*, std::int32_t character) { return character != 'x'; };
    for (wchar_t c : std::wstring(L"axbx")) {
        SendMessageW(edit->window, WM_CHAR, c, 1);
    }
    EXPECT_EQ(edit->GetText(), L"qab");
}

TEST_F(Routing, MenuCommandFindsTheCommandElementById) {
    TestButton button(form.get());
    button.Create();
    int clicks = 0;
    button.onClick = [&clicks](GUIElement*) { ++clicks; };
    SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(button.id, 0), 0);
    SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(button.id, 1), 0); // accelerator
    SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(edit->id, 0), 0);  // not a command
    EXPECT_EQ(clicks, 1);
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
