// Timer ticks arrive on the interface thread at the parent form's window, one
// system timer per timer, never for another window or id 0, none once killed.

#include "Timer.h"
#include "Form.h"
#include "Tread.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

using namespace NBUtility;
using NBTest::NewShownForm;
using NBTest::PumpUntil;

namespace {

class TimerTicks : public testing::Test {
protected:
    void SetUp() override {
        form.reset(NewShownForm());
        timer = std::make_unique<Timer>(form.get(), 20);
        timer->onTick = [this](Timer* t) {
            EXPECT_EQ(t, timer.get());
            EXPECT_EQ(GetCurrentThreadId(), interfaceThread);
            ++ticks;
        };
    }
    void TearDown() override {
        timer.reset();
        form.reset();
    }
    std::unique_ptr<Form> form;
    std::unique_ptr<Timer> timer;
    DWORD interfaceThread = GetCurrentThreadId();
    int ticks = 0;
};

TEST_F(TimerTicks, AWorkerStartsAndStopsTheTimerWhichTicksOnTheInterfaceThread) {
    Tread worker;
    std::atomic<bool> started{false};
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::uint32_t firstId = 0;
    worker.runCallback = [&](Tread*) {
        timer->Start();
        firstId = timer->id;
        timer->Start(); // one system timer, not two
        started = true;
        while (!stop) {
            Sleep(5);
        }
        timer->Stop();
        done = true;
        return 0;
    };
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(PumpUntil([&] { return started.load(); }));
    EXPECT_EQ(timer->id, firstId);
    EXPECT_EQ(GetWindowThreadProcessId(timer->window, nullptr), interfaceThread);
    EXPECT_EQ(GetParent(timer->window), form->window);
    EXPECT_TRUE(PumpUntil([this] { return ticks >= 3; }));
    stop = true;
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }));
    EXPECT_FALSE(timer->running);
    EXPECT_FALSE(KillTimer(form->window, timer->id)) << "the one stop killed it";
}

TEST_F(TimerTicks, TickForAnotherWindowOrIdZeroIsIgnoredAndDeletingARunningTimerKillsIt) {
    timer->Start();
    timer->Stop();
    std::unique_ptr<Form> other(NewShownForm(L"other"));
    SendMessageW(other->window, WM_TIMER, timer->id, 0);
    EXPECT_EQ(ticks, 0);
    Timer waiting(form.get(), 20); // not yet created, so its id is still 0
    int waitingTicks = 0;
    waiting.onTick = [&waitingTicks](Timer*) { ++waitingTicks; };
    SendMessageW(form->window, WM_TIMER, 0, 0);
    EXPECT_EQ(waitingTicks, 0);
    SendMessageW(form->window, WM_TIMER, timer->id, 0);
    EXPECT_EQ(ticks, 1);

    timer->Start();
    const std::uint32_t id = timer->id;
    timer.reset();
    EXPECT_FALSE(KillTimer(form->window, id));
}

} // namespace
