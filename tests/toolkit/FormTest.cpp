// The end of a form neither touches a dead window nor calls into a destroyed
// derived form, and leaves no class or brush behind.

#include "Form.h"
#include "ElementRegistry.h"
#include "WindowProcedure.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace NBUtility;

namespace {

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
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

TEST(FormEnd, AFormWhoseWindowIsGoneByCloseOrDestroyNowSendsNothingWhenDeleted) {
    for (bool byClose : {true, false}) {
        int closingCalls = 0;
        int destroyedCalls = 0;
        auto* form = new DerivedForm(closingCalls, destroyedCalls);
        form->allowClose = true;
        form->Create();
        if (byClose) {
            SendMessageW(form->window, WM_CLOSE, 0, 0);
        } else {
            form->DestroyNow();
        }
        EXPECT_EQ(closingCalls, byClose ? 1 : 0);
        EXPECT_EQ(destroyedCalls, 1) << "raised while the form is whole";
        EXPECT_TRUE(form->destroyed);
        EXPECT_EQ(form->window, nullptr);
        delete form;
        EXPECT_EQ(closingCalls + destroyedCalls, byClose ? 2 : 1);
    }
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
