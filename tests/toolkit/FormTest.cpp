// The end of a form neither touches a dead window nor calls into a destroyed
// derived form.

#include "Form.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

using namespace NBUtility;

namespace {

// A derived form whose handlers use its own members.
class DerivedForm : public Form {
public:
    explicit DerivedForm(int& calls) : Form(GetModuleHandleW(nullptr)) {
        topMost = false;
        onClosing = [this, &calls](GUIElement*) { return ++calls, allowClose; };
        onDestroyed = [this, &calls](GUIElement*) { return ++calls, std::int32_t{allowClose}; };
    }
    ~DerivedForm() override { allowClose = false; }
    bool allowClose = false;
};

TEST(FormEnd, DeletingAFormDestroysItsWindowsWithoutRaisingAnyHandler) {
    int calls = 0;
    auto* form = new DerivedForm(calls);
    form->Create();
    NBTest::TestEdit edit(form);
    edit.Create();
    edit.onFocusLost = [&calls](GUIElement*) { return ++calls; };
    edit.onDestroyed = [&calls](GUIElement*) { return ++calls; };
    SetForegroundWindow(form->window);
    edit.Focus();
    HWND window = form->window;
    HWND control = edit.window;
    delete form;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(edit.window, nullptr) << "the control that outlives its form forgets its window";
}

TEST(FormEnd, AFormWhoseWindowIsGoneByCloseOrDestroyNowSendsNothingWhenDeleted) {
    for (bool byClose : {true, false}) {
        int calls = 0;
        auto* form = new DerivedForm(calls);
        form->allowClose = true;
        form->Create();
        if (byClose) {
            SendMessageW(form->window, WM_CLOSE, 0, 0);
        } else {
            form->DestroyNow();
        }
        EXPECT_EQ(calls, byClose ? 2 : 1) << "onDestroyed raised while the form is whole";
        EXPECT_TRUE(form->destroyed);
        EXPECT_EQ(form->window, nullptr);
        delete form;
        EXPECT_EQ(calls, byClose ? 2 : 1);
    }
}

} // namespace
