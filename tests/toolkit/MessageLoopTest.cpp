// The message loop ends when the main form's window is destroyed, and only
// then; a tool-window main form gets dialog keyboard handling.

#include "Form.h"
#include "Timer.h"
#include "WindowProcedure.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace NBUtility;

namespace {

constexpr int GaveUp = 99;

TEST(MessageLoop, EndsWithTheMainFormAndNotWithAnother) {
    ASSERT_EQ(MainWindow(), nullptr) << "needs a process of its own";
    std::unique_ptr<Form> mainForm(new Form(GetModuleHandleW(nullptr), ToolWindowFrame{}));
    mainForm->text = L"main";
    mainForm->topMost = false;
    mainForm->Create();
    // A tool-window main form: the loop hands Tab to the dialog manager.
    NBTest::TestEdit first(mainForm.get());
    NBTest::TestEdit second(mainForm.get());
    second.y = 40;
    first.Create();
    second.Create();
    int tabsSeenByTheEdit = 0;
    first.onKeyDown = [&tabsSeenByTheEdit](GUIElement*, std::int32_t key) {
        tabsSeenByTheEdit += key == VK_TAB ? 1 : 0;
        return 0;
    };
    std::unique_ptr<Form> other(NBTest::NewShownForm(L"other"));
    HWND secondWindow = second.window;
    SetForegroundWindow(mainForm->window);
    first.Focus();
    PostMessageW(first.window, WM_KEYDOWN, VK_TAB, 0);
    ASSERT_EQ(MainWindow(), mainForm->window);

    // The other form closes first; a tick after that closes the main form.
    bool otherGoneWhileLooping = false;
    HWND focusAfterTab = nullptr;
    Timer closer(mainForm.get(), 30);
    closer.onTick = [&](Timer* t) {
        t->Stop();
        otherGoneWhileLooping = other->window == nullptr;
        focusAfterTab = GetFocus();
        PostMessageW(mainForm->window, WM_CLOSE, 0, 0);
    };
    PostMessageW(other->window, WM_CLOSE, 0, 0);
    closer.Start();

    // Ends a loop that did not end by itself, so the test fails instead of hanging.
    const UINT_PTR bound = SetTimer(nullptr, 0, NBTest::WaitBoundMilliseconds,
                                    [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(GaveUp); });
    EXPECT_EQ(RunMessageLoop(mainForm.get()), 0);
    KillTimer(nullptr, bound);
    EXPECT_TRUE(otherGoneWhileLooping);
    EXPECT_EQ(focusAfterTab, secondWindow);
    EXPECT_EQ(tabsSeenByTheEdit, 0);
    EXPECT_EQ(mainForm->window, nullptr);
    EXPECT_TRUE(mainForm->destroyed);
}

} // namespace
