// Messages reach exactly the element that owns the receiving window, through
// its virtual operation and its callback, with their arguments.

#include "ElementRegistry.h"
#include "Form.h"
#include "WindowProcedure.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace NBUtility;
using NBTest::NewShownForm;
using NBTest::TestButton;
using NBTest::TestEdit;
using NBTest::TestLabel;

namespace {

struct Call {
    std::string slot;
    GUIElement* element;
    std::int32_t a;
    std::int32_t b;
    bool operator==(const Call& other) const {
        return slot == other.slot && element == other.element && a == other.a && b == other.b;
    }
};

using CallLog = std::vector<Call>;

MouseButtonHandler LogButton(CallLog& log, const std::string& slot) {
    return [&log, slot](GUIElement* e, HWND window, std::int32_t x, std::int32_t y) {
        EXPECT_EQ(window, e->window);
        log.push_back({slot, e, x, y});
        return 0;
    };
}

void BindMouseButtons(GUIElement& element, CallLog& log) {
    element.onLeftButtonDown = LogButton(log, "leftDown");
    element.onLeftButtonUp = LogButton(log, "leftUp");
    element.onLeftDoubleClick = LogButton(log, "leftDouble");
    element.onRightButtonDown = LogButton(log, "rightDown");
    element.onRightButtonUp = LogButton(log, "rightUp");
    element.onRightDoubleClick = LogButton(log, "rightDouble");
    element.onMouseMove = [&log](GUIElement* e, std::int32_t x, std::int32_t y) {
        log.push_back({"move", e, x, y});
        return 0;
    };
}

class Routing : public testing::Test {
protected:
    void SetUp() override {
        form.reset(NewShownForm());
        edit = std::make_unique<TestEdit>(form.get());
        edit->Create();
        ASSERT_NE(form->window, nullptr);
        ASSERT_NE(edit->window, nullptr);
    }
    void TearDown() override {
        edit.reset();
        form.reset();
    }
    std::unique_ptr<Form> form;
    std::unique_ptr<TestEdit> edit;
};

struct MouseCase {
    UINT message;
    const char* slot;
};

TEST_F(Routing, MouseButtonsReachTheOwningElementWithSignedCoordinates) {
    const MouseCase cases[] = {
        {WM_LBUTTONDOWN, "leftDown"},  {WM_LBUTTONUP, "leftUp"},  {WM_LBUTTONDBLCLK, "leftDouble"},
        {WM_RBUTTONDOWN, "rightDown"}, {WM_RBUTTONUP, "rightUp"}, {WM_RBUTTONDBLCLK, "rightDouble"},
        {WM_MOUSEMOVE, "move"},
    };
    // A label: an edit would open its context menu on the right button.
    TestLabel label(form.get());
    label.Create();
    CallLog formLog;
    CallLog labelLog;
    BindMouseButtons(*form, formLog);
    BindMouseButtons(label, labelLog);
    for (const MouseCase& c : cases) {
        SCOPED_TRACE(c.slot);
        formLog.clear();
        labelLog.clear();
        SendMessageW(label.window, c.message, 0, MAKELPARAM(static_cast<WORD>(-5), 7));
        SendMessageW(form->window, c.message, 0, MAKELPARAM(300, static_cast<WORD>(-2)));
        EXPECT_EQ(labelLog, (CallLog{{c.slot, &label, -5, 7}}));
        EXPECT_EQ(formLog, (CallLog{{c.slot, form.get(), 300, -2}}));
    }
}

TEST_F(Routing, KeysReachTheElementWithTheirCode) {
    CallLog log;
    edit->onKeyDown = [&log](GUIElement* e, std::int32_t key) {
        log.push_back({"down", e, key, 0});
        return 0;
    };
    edit->onKeyUp = [&log](GUIElement* e, std::int32_t key) {
        log.push_back({"up", e, key, 0});
        return 0;
    };
    SendMessageW(edit->window, WM_KEYDOWN, 'A', 0);
    SendMessageW(edit->window, WM_KEYUP, VK_F5, 0);
    EXPECT_EQ(log, (CallLog{{"down", edit.get(), 'A', 0}, {"up", edit.get(), VK_F5, 0}}));
}

TEST_F(Routing, CharacterRefusedByOnCharNeverReachesTheControl) {
    SendMessageW(edit->window, WM_CHAR, 'q', 1); // no callback: it passes
    edit->onChar = [](GUIElement*, std::int32_t character) { return character != 'x'; };
    for (wchar_t c : std::wstring(L"axbx")) {
        SendMessageW(edit->window, WM_CHAR, c, 1);
    }
    EXPECT_EQ(edit->GetText(), L"qab");
}

TEST_F(Routing, FocusLostComesBeforeTextChangedAndOnlyWhenTheTextChanged) {
    std::vector<std::string> order;
    edit->onFocusLost = [&order](GUIElement*) {
        order.push_back("focusLost");
        return 0;
    };
    edit->onTextChanged = [&order](GUIElement*) {
        order.push_back("textChanged");
        return 0;
    };
    SendMessageW(edit->window, WM_SETFOCUS, 0, 0);
    SendMessageW(edit->window, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(order, (std::vector<std::string>{"focusLost"}));

    order.clear();
    SendMessageW(edit->window, WM_SETFOCUS, 0, 0);
    SetWindowTextW(edit->window, L"changed");
    SendMessageW(edit->window, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(order, (std::vector<std::string>{"focusLost", "textChanged"}));
}

TEST_F(Routing, VetoedCloseKeepsTheWindowAndAnAcceptedOneDestroysIt) {
    bool allow = false;
    int destroyedCalls = 0;
    form->onClosing = [&allow](GUIElement*) { return allow; };
    form->onDestroyed = [&destroyedCalls](GUIElement* e) {
        EXPECT_FALSE(e->destroyed); // the flag follows the callback
        ++destroyedCalls;
        return 0;
    };
    HWND window = form->window;
    EXPECT_EQ(SendMessageW(window, WM_CLOSE, 0, 0), 1);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(destroyedCalls, 0);

    allow = true;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(destroyedCalls, 1);
    EXPECT_TRUE(form->destroyed);
    EXPECT_EQ(form->window, nullptr); // a dead handle is never matched again
}

// A two-state check box that the toolkit toggles itself before onClick.
class ToggledCheckBox : public TestButton {
public:
    using TestButton::TestButton;
    void Create() override { CreateControl(L"Button", BS_CHECKBOX, 0, true); }
    void BeforeClick() override {
        const bool checked = SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
        SendMessageW(window, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
    }
};

TEST_F(Routing, CheckStateIsInvertedBeforeOnClickRuns) {
    ToggledCheckBox box(form.get());
    box.Create();
    std::vector<LRESULT> seen;
    box.onClick = [&seen](GUIElement* e) {
        seen.push_back(SendMessageW(e->window, BM_GETCHECK, 0, 0));
    };
    SendMessageW(box.window, BM_CLICK, 0, 0);
    SendMessageW(box.window, BM_CLICK, 0, 0);
    EXPECT_EQ(seen, (std::vector<LRESULT>{BST_CHECKED, BST_UNCHECKED}));
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
    // Routed through the toolkit's procedure, the message still finds no owner.
    WindowProcedure(stranger, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(clicks, 0);
    DestroyWindow(stranger);
}

TEST_F(Routing, ControlKeepsItsOwnBehaviourAfterItsElementIsGone) {
    HWND control = edit->window;
    ASSERT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC)), WindowProcedure);
    edit.reset();
    ASSERT_TRUE(IsWindow(control));
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC)), WindowProcedure);
    // Only the edit class answers this; default processing would give 0.
    SendMessageW(control, EM_SETLIMITTEXT, 7, 0);
    EXPECT_EQ(SendMessageW(control, EM_GETLIMITTEXT, 0, 0), 7);
}

TEST_F(Routing, HotKeyOfTheForegroundFormReachesItsCallbackAndOtherIdsNothing) {
    std::vector<std::int32_t> seen;
    form->hotKeys.push_back({MOD_ALT, 'Q', [&](Form* f, std::int32_t modifiers, std::int32_t key) {
                                 EXPECT_EQ(f, form.get());
                                 seen.insert(seen.end(), {modifiers, key});
                             }});
    SetForegroundWindow(form->window);
    if (GetForegroundWindow() != form->window) {
        GTEST_SKIP() << "this display gives no foreground window to the test";
    }
    for (WPARAM id : {WPARAM{0}, WPARAM{2}, static_cast<WPARAM>(-1), WPARAM{1}}) {
        SendMessageW(form->window, WM_HOTKEY, id, 0);
    }
    EXPECT_EQ(seen, (std::vector<std::int32_t>{MOD_ALT, 'Q'}));
}

TEST_F(Routing, DeletedActiveFormIsNoLongerTheActiveForm) {
    SetForegroundWindow(form->window);
    SendMessageW(form->window, WM_ACTIVATE, WA_ACTIVE, 0);
    if (GetForegroundWindow() != form->window) {
        GTEST_SKIP() << "this display gives no foreground window to the test";
    }
    ASSERT_EQ(ActiveForm(), form.get());
    edit.reset();
    form.reset();
    EXPECT_EQ(ActiveForm(), nullptr);
}

TEST_F(Routing, MouseTrackingOfADestroyedWindowDoesNotStopTrackingElsewhere) {
    // Wine reports hover and leave only for a pointer that was over the
    // window when tracking began, so the pointer is placed over both forms.
    SetCursorPos(form->x + 150, form->y + 100);
    std::unique_ptr<Form> first(NewShownForm(L"first"));
    SendMessageW(first->window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    first.reset(); // its leave notice dies with its window

    int hovers = 0;
    int leaves = 0;
    form->onMouseHover = [&hovers](GUIElement*) { return ++hovers; };
    form->onMouseLeave = [&leaves](GUIElement*) { return ++leaves; };
    SendMessageW(form->window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(NBTest::PumpUntil([&hovers] { return hovers > 0; }));
    SetCursorPos(1200, 780);
    EXPECT_TRUE(NBTest::PumpUntil([&leaves] { return leaves > 0; }));
}

} // namespace
