// A worker thread reaches elements and timers only through the interface
// thread, stopping it never deadlocks with a worker inside such a call, and
// ticks arrive on the interface thread for their own timer only.

#include "Form.h"
#include "Timer.h"
#include "Tread.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

using namespace NBUtility;
using NBTest::PumpUntil;
using NBTest::TestEdit;

namespace {

// Records whether the thread ended by itself (OnFinished runs only then).
class RecordingTread : public Tread {
public:
    void OnFinished() override { finished = true; }
    std::atomic<bool> finished{false};
};

class Threads : public testing::Test {
protected:
    void SetUp() override {
        target.y = 40;
        source.Create();
        target.Create();
        timer->onTick = [this](Timer* t) {
            EXPECT_EQ(t, timer.get());
            EXPECT_EQ(GetCurrentThreadId(), interfaceThread);
            ++ticks;
        };
    }
    // Destroyed in reverse: the timer and controls before their form.
    std::unique_ptr<Form> form{NBTest::NewShownForm()};
    TestEdit source{form.get()};
    TestEdit target{form.get()};
    std::unique_ptr<Timer> timer = std::make_unique<Timer>(form.get(), 20);
    const DWORD interfaceThread = GetCurrentThreadId();
    int ticks = 0;
};

TEST_F(Threads, AWorkerReadsWritesAndMovesTheFocusThroughTheInterfaceThread) {
    source.SetText(L"  from the form  ");
    std::string seen;
    DWORD ranOn = 0;
    DWORD focusedOn = 0;
    target.onFocusGained = [&](GUIElement*) { return focusedOn = GetCurrentThreadId(), 0; };
    RecordingTread worker;
    worker.runCallback = [&](Tread*) {
        seen = source.GetTextNarrow();
        target.SetTextNarrow("written by the worker");
        target.Focus();
        source.RunOnWindowThread([&] { ranOn = GetCurrentThreadId(); });
        return 0;
    };
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(PumpUntil([&] { return worker.finished.load(); }));
    EXPECT_EQ(worker.Stop(), TRUE);
    EXPECT_EQ(seen, "  from the form  ");
    EXPECT_EQ(target.GetText(), L"written by the worker");
    EXPECT_EQ(GetFocus(), target.window);
    EXPECT_EQ(focusedOn, interfaceThread);
    EXPECT_EQ(ranOn, interfaceThread);
}

TEST_F(Threads, StopServesAWorkerInsideASynchronousCall) {
    RecordingTread worker;
    worker.runCallback = [this](Tread*) {
        // Blocks until the interface thread handles it, which it can only do
        // while it waits in Stop.
        target.SetTextNarrow("late");
        return 0;
    };
    ASSERT_TRUE(worker.Start());
    EXPECT_EQ(worker.Stop(), TRUE);
    EXPECT_TRUE(worker.finished); // ended by itself, not terminated
    EXPECT_FALSE(worker.failed);
    EXPECT_EQ(target.GetText(), L"late");
}

TEST(Tread, StopTerminatesAThreadThatDoesNotEnd) {
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    RecordingTread worker;
    worker.runCallback = [never](Tread*) { return WaitForSingleObject(never, 20000), 0; };
    ASSERT_TRUE(worker.Start());
    HANDLE watched = nullptr;
    DuplicateHandle(GetCurrentProcess(), worker.Handle(), GetCurrentProcess(), &watched, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    EXPECT_EQ(worker.Stop(), TRUE);
    EXPECT_EQ(WaitForSingleObject(watched, 0), WAIT_OBJECT_0); // gone now
    EXPECT_FALSE(worker.finished);
    EXPECT_EQ(worker.Stop(), FALSE); // no handle any more
    CloseHandle(watched);
    CloseHandle(never);
}

TEST_F(Threads, AWorkerStartsAndStopsATimerThatTicksOnTheInterfaceThread) {
    RecordingTread worker;
    std::atomic<bool> started{false};
    std::atomic<bool> stop{false};
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
        return 0;
    };
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(PumpUntil([&] { return started.load(); }));
    EXPECT_EQ(timer->id, firstId);
    EXPECT_EQ(GetWindowThreadProcessId(timer->window, nullptr), interfaceThread);
    EXPECT_TRUE(PumpUntil([this] { return ticks >= 3; }));
    stop = true;
    ASSERT_TRUE(PumpUntil([&] { return worker.finished.load(); }));
    EXPECT_FALSE(timer->running);
    EXPECT_FALSE(KillTimer(form->window, timer->id)) << "the one stop killed it";
}

TEST_F(Threads, TickForAnotherWindowOrIdZeroIsIgnoredAndDeletingARunningTimerKillsIt) {
    timer->Start();
    timer->Stop();
    std::unique_ptr<Form> other(NBTest::NewShownForm(L"other"));
    SendMessageW(other->window, WM_TIMER, timer->id, 0);
    Timer waiting(form.get(), 20); // not yet created, so its id is still 0
    waiting.onTick = [this](Timer*) { ticks += 100; };
    SendMessageW(form->window, WM_TIMER, 0, 0);
    EXPECT_EQ(ticks, 0);
    SendMessageW(form->window, WM_TIMER, timer->id, 0);
    EXPECT_EQ(ticks, 1);
    timer->Start();
    const std::uint32_t id = timer->id;
    timer.reset();
    EXPECT_FALSE(KillTimer(form->window, id));
}

} // namespace
