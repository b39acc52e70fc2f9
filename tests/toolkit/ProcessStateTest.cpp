// Process-wide counters seen from a fresh process: the first form, the first
// ids and the first thread number.

#include "ElementRegistry.h"
#include "Form.h"
#include "Timer.h"
#include "Tread.h"
#include "WindowProcedure.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace NBUtility;

namespace {

TEST(FreshProcess, IdsStartAtOneAndFormsRegisterClassesNamedAfterTheCounter) {
    ASSERT_EQ(NextControlId, 0u) << "needs a process of its own";
    std::unique_ptr<Form> first(NBTest::NewShownForm(L"first"));
    NBTest::TestEdit edit(first.get());
    edit.Create();
    Timer timer(first.get(), 1000);
    timer.Start();
    std::unique_ptr<Form> second(NBTest::NewShownForm(L"second"));
    EXPECT_EQ(first->id, 1u);
    EXPECT_EQ(edit.id, 2u);
    EXPECT_EQ(GetDlgCtrlID(edit.window), 2);
    EXPECT_EQ(timer.id, 3u);
    EXPECT_EQ(second->id, 4u);
    EXPECT_EQ(NextControlId, 4u);
    for (const auto& [form, name] :
         {std::pair{first.get(), L"Window0"}, {second.get(), L"Window3"}}) {
        wchar_t className[64] = {};
        GetClassNameW(form->window, className, 64);
        EXPECT_STREQ(className, name);
        EXPECT_EQ(form->ClassName(), name);
    }
    EXPECT_EQ(MainWindow(), first->window);
}

TEST(FreshProcess, FirstThreadObjectIsNumberOne) {
    ASSERT_EQ(TreadCount(), 0) << "needs a process of its own";
    Tread first;
    Tread second;
    EXPECT_EQ(first.threadNumber, 1);
    EXPECT_EQ(second.threadNumber, 2);
}

} // namespace
