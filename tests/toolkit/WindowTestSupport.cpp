#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace NBTest {

bool PumpUntil(const std::function<bool()>& done, DWORD boundMilliseconds) {
    const ULONGLONG deadline = GetTickCount64() + boundMilliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 20)),
                                  QS_ALLINPUT);
    }
}

void PumpFor(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

bool WaitUntil(const std::function<bool()>& done, DWORD boundMilliseconds) {
    const ULONGLONG deadline = GetTickCount64() + boundMilliseconds;
    while (!done()) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

namespace {

// Ends the process when one test runs longer than its bound, so a hang is a
// failure CTest sees instead of a stuck run.
class Watchdog : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo& info) override {
        name_ = std::string(info.test_suite_name()) + "." + info.name();
        const unsigned armed = ++generation_;
        std::thread([this, armed] {
            Sleep(60000);
            if (generation_ == armed) {
                std::fprintf(stderr, "watchdog: %s ran longer than 60 s\n", name_.c_str());
                std::fflush(stderr);
                TerminateProcess(GetCurrentProcess(), 3);
            }
        }).detach();
    }
    void OnTestEnd(const testing::TestInfo&) override { ++generation_; }

private:
    std::atomic<unsigned> generation_{0};
    std::string name_;
};

const bool watchdogInstalled =
    (testing::UnitTest::GetInstance()->listeners().Append(new Watchdog), true);

} // namespace

TestEdit::TestEdit(NBUtility::GUIElement* parentElement) {
    typeName = "textbox";
    parent = parentElement;
    x = y = 10;
    width = 120;
    height = 24;
}

NBUtility::Form* NewShownForm(const wchar_t* caption) {
    auto* form = new NBUtility::Form(GetModuleHandleW(nullptr));
    form->text = caption;
    form->x = form->y = 50;
    form->width = 300;
    form->height = 200;
    form->topMost = false;
    form->Create();
    return form;
}

} // namespace NBTest
