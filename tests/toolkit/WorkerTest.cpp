// A worker thread reaches elements only through the interface thread, and
// stopping it never deadlocks with a worker inside such a call.

#include "Form.h"
#include "Tread.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

using namespace NBUtility;
using NBTest::NewShownForm;
using NBTest::PumpUntil;
using NBTest::TestEdit;

namespace {

// Records whether the thread ended by itself (OnFinished runs only then).
class RecordingTread : public Tread {
public:
    void OnFinished() override { finished = true; }
    std::atomic<bool> finished{false};
};

class Worker : public testing::Test {
protected:
    void SetUp() override {
        form.reset(NewShownForm());
        source = std::make_unique<TestEdit>(form.get());
        target = std::make_unique<TestEdit>(form.get());
        target->y = 40;
        source->Create();
        target->Create();
    }
    void TearDown() override {
        target.reset();
        source.reset();
        form.reset();
    }
    std::unique_ptr<Form> form;
    std::unique_ptr<TestEdit> source;
    std::unique_ptr<TestEdit> target;
};

TEST_F(Worker, ReadsAndSetsTextsEnablesAndMovesTheFocusThroughTheInterfaceThread) {
    source->SetText(L"  from the form  ");
    SetFocus(source->window);
    std::string seen;
    DWORD writerThread = 0;
    target->onFocusGained = [&](GUIElement*) {
        writerThread = GetCurrentThreadId();
        return 0;
    };
    RecordingTread worker;
    worker.runCallback = [&](Tread*) {
        seen = source->GetTextNarrow();
        target->SetTextNarrow("written by the worker");
        source->SetEnabled(false);
        target->Focus();
        return 0;
    };
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(PumpUntil([&] { return worker.finished.load(); }));
    EXPECT_EQ(worker.Stop(), TRUE);
    EXPECT_EQ(seen, "  from the form  ");
    EXPECT_EQ(target->GetText(), L"written by the worker");
    EXPECT_FALSE(IsWindowEnabled(source->window));
    EXPECT_EQ(GetFocus(), target->window);
    EXPECT_EQ(writerThread, GetCurrentThreadId());
}

TEST_F(Worker, StopServesAWorkerInsideASynchronousCall) {
    RecordingTread worker;
    worker.runCallback = [this](Tread*) {
        // Blocks until the interface thread handles it, which it can only do
        // while it waits in Stop.
        target->SetTextNarrow("late");
        return 0;
    };
    ASSERT_TRUE(worker.Start());
    EXPECT_EQ(worker.Stop(), TRUE);
    EXPECT_TRUE(worker.finished); // ended by itself, not terminated
    EXPECT_FALSE(worker.failed);
    EXPECT_EQ(target->GetText(), L"late");
}

TEST(Tread, StopTerminatesAThreadThatDoesNotEnd) {
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    RecordingTread worker;
    worker.runCallback = [never](Tread*) {
        WaitForSingleObject(never, 20000);
        return 0;
    };
    ASSERT_TRUE(worker.Start());
    HANDLE watched = nullptr;
    DuplicateHandle(GetCurrentProcess(), worker.Handle(), GetCurrentProcess(), &watched, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    EXPECT_EQ(worker.Stop(), TRUE);
    EXPECT_EQ(worker.Handle(), nullptr);
    EXPECT_EQ(WaitForSingleObject(watched, 0), WAIT_OBJECT_0); // gone now
    EXPECT_FALSE(worker.finished);
    EXPECT_FALSE(worker.failed);
    EXPECT_EQ(worker.Stop(), FALSE); // no handle any more
    CloseHandle(watched);
    CloseHandle(never);
}

} // namespace
