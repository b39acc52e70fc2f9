// The message loop ends when the main form's window is destroyed, and only
// then.

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
    std::unique_ptr<Form> mainForm(NBTest::NewShownForm(L"main"));
    std::unique_ptr<Form> other(NBTest::NewShownForm(L"other"));
    ASSERT_EQ(MainWindow(), mainForm->window);

    // The other form closes first; a tick after that closes the main form.
    bool otherGoneWhileLooping = false;
    Timer closer(mainForm.get(), 30);
    closer.onTick = [&](Timer* t) {
        t->Stop();
        otherGoneWhileLooping = other->window == nullptr;
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
    EXPECT_EQ(mainForm->window, nullptr);
    EXPECT_TRUE(mainForm->destroyed);
}

} // namespace
