// Forms: frame styles, creation, placement and sizing, and an end
// that neither touches a dead window nor calls into a destroyed derived form.

#include "Form.h"
#include "ElementRegistry.h"
#include "WindowProcedure.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace NBUtility;
using NBTest::NewShownForm;

namespace {

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

struct FrameCase {
    const char* name;
    bool standardFrame;
    bool resizable;
    bool minimizeBox;
    bool toolWindow;
    bool modalFrame;
    bool topMost;
    bool enabled;
    DWORD style;
    DWORD extendedStyle;
};

TEST(FormFrame, StyleFollowsTheFlags) {
    const FrameCase cases[] = {
        {"standard", true, true, true, false, false, true, true, 0x10CF0000, 0},
        {"fixed size", true, false, true, false, false, true, true, 0x10CA0000, 0},
        {"no boxes", true, false, false, false, false, true, true, 0x10C80000, 0},
        {"popup", false, true, true, false, false, true, true, 0x80000000, 0},
        {"disabled", true, true, true, false, false, true, false, 0x18CF0000, 0},
        {"tool", true, true, true, true, false, false, true, 0x10C90000, 0x81},
        {"tool modal top", true, true, true, true, true, true, true, 0x10C90080, 0x89},
        {"tool fixed", true, false, true, true, true, true, true, 0x10C80080, 0x89},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        Form form(Instance());
        form.standardFrame = c.standardFrame;
        form.resizable = c.resizable;
        form.minimizeBox = c.minimizeBox;
        form.toolWindow = c.toolWindow;
        form.modalFrame = c.modalFrame;
        form.topMost = c.topMost;
        form.enabled = c.enabled;
        EXPECT_EQ(form.FrameStyle(), c.style);
        EXPECT_EQ(form.FrameExtendedStyle(), c.extendedStyle);
    }
}

TEST(FormCreation, OnCreatedRunsOnceInsideWindowCreationOnAWindowOfTheFrameStyle) {
    Form form(Instance());
    form.topMost = false;
    form.resizable = false;
    int calls = 0;
    HWND seenWindow = nullptr;
    bool createdWhenRaised = true;
    form.onCreated = [&](GUIElement* e, HWND window) {
        ++calls;
        seenWindow = window;
        createdWhenRaised = e->created;
    };
    form.Create();
    ASSERT_NE(form.window, nullptr);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seenWindow, form.window);
    EXPECT_FALSE(createdWhenRaised) << "raised from WM_CREATE, before Create returned";
    const DWORD frameBits =
        WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
    EXPECT_EQ(NBTest::StyleOf(form.window) & frameBits, form.FrameStyle() & frameBits);
    EXPECT_TRUE(IsWindowVisible(form.window));
    form.Attach(reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(form.window, seenWindow);
}

TEST(FormCreation, ChildrenBuiltInOnCreatedGetTheirOwnMessages) {
    Form form(Instance());
    form.topMost = false;
    std::unique_ptr<NBTest::TestEdit> edit;
    form.onCreated = [&edit](GUIElement* e, HWND) {
        edit = std::make_unique<NBTest::TestEdit>(e);
        edit->Create();
    };
    form.Create();
    ASSERT_TRUE(edit);
    int formClicks = 0;
    int editClicks = 0;
    form.onLeftButtonUp = [&](GUIElement*, HWND, std::int32_t, std::int32_t) {
        return ++formClicks;
    };
    edit->onLeftButtonUp = [&](GUIElement*, HWND, std::int32_t, std::int32_t) {
        return ++editClicks;
    };
    SendMessageW(form.window, WM_LBUTTONUP, 0, 0);
    SendMessageW(edit->window, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(formClicks, 1);
    EXPECT_EQ(editClicks, 1);
    EXPECT_EQ(GetParent(edit->window), form.window);
}

TEST(FormPlacement, CenterOnScreenUsesTheWindowSize) {
    std::unique_ptr<Form> form(NewShownForm());
    form->SetSize(641, 301);
    form->CenterOnScreen();
    const int expectedX = (GetSystemMetrics(SM_CXSCREEN) - 641) / 2;
    const int expectedY = (GetSystemMetrics(SM_CYSCREEN) - 301) / 2;
    EXPECT_EQ(form->x, expectedX);
    EXPECT_EQ(form->y, expectedY);
    RECT frame{};
    GetWindowRect(form->window, &frame);
    EXPECT_EQ(frame.left, expectedX);
    EXPECT_EQ(frame.top, expectedY);
}

// Sizes its client area when first shown, as the About window does.
class SizedOnShow : public Form {
public:
    SizedOnShow() : Form(GetModuleHandleW(nullptr)) { topMost = false; }
    void OnShow() override {
        ++shows;
        SetClientSize(600, 300);
    }
    int shows = 0;
};

TEST(FormPlacement, OnShowCanSetTheClientSize) {
    SizedOnShow form;
    form.Create();
    ASSERT_NE(form.window, nullptr);
    EXPECT_GE(form.shows, 1);
    RECT client{};
    GetClientRect(form.window, &client);
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 300);
}

// A derived form whose handlers use its own members.
class DerivedForm : public Form {
public:
    explicit DerivedForm(int& closingCalls, int& destroyedCalls) : Form(GetModuleHandleW(nullptr)) {
        topMost = false;
        onClosing = [this, &closingCalls](GUIElement*) {
            ++closingCalls;
            return allowClose;
        };
        onDestroyed = [this, &destroyedCalls](GUIElement*) {
            ++destroyedCalls;
            return static_cast<std::int32_t>(allowClose);
        };
    }
    ~DerivedForm() override { allowClose = false; }
    bool allowClose = false;
};

TEST(FormEnd, DeletingAFormDestroysItsWindowsWithoutRaisingAnyHandler) {
    int closingCalls = 0;
    int destroyedCalls = 0;
    auto* form = new DerivedForm(closingCalls, destroyedCalls);
    form->Create();
    NBTest::TestEdit edit(form);
    edit.Create();
    int controlEvents = 0;
    edit.onFocusLost = [&controlEvents](GUIElement*) { return ++controlEvents; };
    edit.onDestroyed = [&controlEvents](GUIElement*) { return ++controlEvents; };
    SetForegroundWindow(form->window);
    edit.Focus();
    HWND window = form->window;
    HWND control = edit.window;
    delete form;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(closingCalls + destroyedCalls + controlEvents, 0);
    EXPECT_EQ(edit.window, nullptr) << "the control that outlives its form forgets its window";
}

TEST(FormEnd, DestroyNowRaisesTheHandlersWhileTheFormIsWhole) {
    int closingCalls = 0;
    int destroyedCalls = 0;
    DerivedForm form(closingCalls, destroyedCalls);
    form.Create();
    form.DestroyNow();
    EXPECT_EQ(destroyedCalls, 1);
    EXPECT_TRUE(form.destroyed);
    EXPECT_EQ(form.window, nullptr);
}

TEST(FormEnd, DeletingAFormWhoseWindowIsGoneSendsNothing) {
    int closingCalls = 0;
    int destroyedCalls = 0;
    auto* form = new DerivedForm(closingCalls, destroyedCalls);
    form->allowClose = true;
    form->Create();
    SendMessageW(form->window, WM_CLOSE, 0, 0);
    EXPECT_EQ(closingCalls, 1);
    EXPECT_EQ(destroyedCalls, 1);
    delete form;
    EXPECT_EQ(closingCalls, 1);
    EXPECT_EQ(destroyedCalls, 1);
}

TEST(FormEnd, ClassesAndBrushesOfClosedFormsAreReleased) {
    for (int round = 0; round < 300; ++round) {
        auto* form = new Form(Instance());
        form->backColor = RGB(10, 20, round % 256);
        form->topMost = false;
        form->Create();
        ASSERT_NE(form->window, nullptr);
        const std::wstring className = form->ClassName();
        HBRUSH brush = form->windowClass.hbrBackground;
        ASSERT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
        if (round % 2 == 0) {
            // Closed by the user; the loop releases the class while the form lives on.
            SendMessageW(form->window, WM_CLOSE, 0, 0);
            ReleaseRetiredWindowClasses();
        }
        WNDCLASSW probe{};
        EXPECT_EQ(GetClassInfoW(Instance(), className.c_str(), &probe) != FALSE, round % 2 != 0);
        delete form;
        EXPECT_FALSE(GetClassInfoW(Instance(), className.c_str(), &probe));
        EXPECT_EQ(GetObjectType(brush), 0u);
        if (HasFailure()) {
            break;
        }
    }
}

} // namespace
