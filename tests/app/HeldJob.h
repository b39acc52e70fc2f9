#pragma once
// A main window whose job is held inside its first progress report once its
// output exists, so that a test acts while the job surely runs. The hold lets
// go by itself after a bound: a test that goes wrong still lets the worker go.

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>
#include <utility>

#include "FormMain.h"
#include "ProgramInfo.h"

namespace NBTest {

// Outlives the form: the form's destructor waits for a worker held here.
class Hold {
public:
    static constexpr DWORD boundMs = 20000;

    Hold() : event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Hold() {
        Release();
        JoinReleaser();
        CloseHandle(event);
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

    void Wait() {
        held = true;
        WaitForSingleObject(event, boundMs);
    }
    void Release() { SetEvent(event); }
    void ReleaseLater(DWORD afterMs) {
        releaser = std::thread([this, afterMs] {
            Sleep(afterMs);
            Release();
        });
    }
    void JoinReleaser() {
        if (releaser.joinable()) {
            releaser.join();
        }
    }

    std::atomic<bool> held{false};

private:
    HANDLE event;
    std::thread releaser;
};

class HeldForm : public MyGame::FormMain {
public:
    HeldForm(Hold& jobHold, std::function<bool()> outputExists)
        : FormMain(GetModuleHandleW(nullptr), MyGame::MainCaption()), hold(jobHold),
          outputExists(std::move(outputExists)) {}

    // Runs on the worker.
    void SetProgress(int value) override {
        if (!hold.held && outputExists()) {
            hold.Wait();
        }
        FormMain::SetProgress(value);
    }

private:
    Hold& hold;
    std::function<bool()> outputExists;
};

} // namespace NBTest
