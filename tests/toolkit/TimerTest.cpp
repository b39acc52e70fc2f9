// Timer ticks arrive on the interface thread, at the parent form's window,
// once per timer, and never after Stop or for another window or id 0.

#include "Timer.h"
#include "Form.h"
#include "Tread.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

using namespace NBUtility;
using NBTest::NewShownForm;
using NBTest::PumpFor;
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

TEST_F(TimerTicks, OneTimerTicksAtTheParentFormOnTheInterfaceThreadUntilStop) {
    timer->Start();
    const std::uint32_t id = timer->id;
    timer->Start();
    EXPECT_EQ(timer->id, id);
    ASSERT_NE(timer->window, nullptr);
    EXPECT_FALSE(IsWindowVisible(timer->window));
    EXPECT_EQ(GetParent(timer->window), form->window);
    EXPECT_TRUE(PumpUntil([this] { return ticks >= 3; }));
    timer->Stop();
    EXPECT_FALSE(timer->running);
    // One stop killed the only system timer: a second kill finds none.
    EXPECT_FALSE(KillTimer(form->window, id));
    PumpFor(50); // a tick queued before the kill may still come
    ticks = 0;
    PumpFor(150);
    EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTicks, DeletingARunningTimerKillsItsSystemTimer) {
    timer->Start();
    const std::uint32_t id = timer->id;
    timer.reset();
    EXPECT_FALSE(KillTimer(form->window, id));
}

TEST_F(TimerTicks, AWorkerStartsAndStopsTheTimerOnTheInterfaceThread) {
    Tread worker;
    std::atomic<bool> started{false};
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    worker.runCallback = [&](Tread*) {
        timer->Start();
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
    EXPECT_EQ(GetWindowThreadProcessId(timer->window, nullptr), interfaceThread);
    EXPECT_TRUE(PumpUntil([this] { return ticks >= 2; }));
    stop = true;
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }));
    EXPECT_FALSE(timer->running);
    EXPECT_FALSE(KillTimer(form->window, timer->id)); // already killed
}

TEST_F(TimerTicks, TickForAnotherWindowOrIdZeroIsIgnored) {
    timer->Start();
    timer->Stop();
    std::unique_ptr<Form> other(NewShownForm(L"other"));
    SendMessageW(other->window, WM_TIMER, timer->id, 0);
    EXPECT_EQ(ticks, 0);

    // Not yet created, so its id is still 0.
    Timer waiting(form.get(), 20);
    int waitingTicks = 0;
    waiting.onTick = [&waitingTicks](Timer*) { ++waitingTicks; };
    SendMessageW(form->window, WM_TIMER, 0, 0);
    EXPECT_EQ(waitingTicks, 0);

    SendMessageW(form->window, WM_TIMER, timer->id, 0);
    EXPECT_EQ(ticks, 1);
}

} // namespace
