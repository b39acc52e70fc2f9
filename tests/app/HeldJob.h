#pragma once
// A main window whose job is held inside its first progress report once its
// output exists, so that a test acts while the job surely runs. The hold lets
// go by itself after a bound: a test that goes wrong still lets the worker go.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

#include "AppDriver.h"
#include "FormMain.h"
#include "ProgramInfo.h"
#include "WindowTestSupport.h"

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

    // Runs on the worker, once the band has been told; with holdDerivation
    // set, holds the job just before its key derivation instead.
    void NoteKeyDerivation() override {
        FormMain::NoteKeyDerivation();
        if (holdDerivation && !hold.held) {
            hold.Wait();
        }
    }

    std::atomic<bool> holdDerivation{false};
    // Wine's high-contrast setting stays off; a test says it is on instead.
    std::atomic<bool> highContrastSaid{false};

protected:
    bool SystemHighContrast() const override {
        return highContrastSaid || FormMain::SystemHighContrast();
    }

private:
    Hold& hold;
    std::function<bool()> outputExists;
};

// A fixture: a held window in this process, driven as from outside, with a
// scratch folder; holdWhen says when the job is held (never, unless set).
class HeldWindowTest : public testing::Test {
protected:
    NBDriver::ScratchFolder folder;
    Hold hold;
    std::function<bool()> holdWhen = [] { return false; };
    std::unique_ptr<HeldForm> form =
        std::make_unique<HeldForm>(hold, [this] { return holdWhen(); });
    std::unique_ptr<NBDriver::AppDriver> app = std::make_unique<NBDriver::AppDriver>(form->window);

    void SetUp() override { ASSERT_TRUE(app->Started()) << app->StartProblem(); }

    // Holds the job once an output whose name begins with prefix exists.
    void HoldOnceWritten(const std::wstring& prefix) {
        holdWhen = [this, prefix] {
            return !NBDriver::NamesStartingWith(folder.Path(), prefix).empty();
        };
    }

    void TearDown() override {
        hold.Release();
        hold.JoinReleaser();
        app.reset();
        form.reset();
    }

    // Runs act and answers the message box that follows, as a person would;
    // the box as seen, or an empty one when none came. Returns once START is
    // back. With NB_SCREENSHOT_DIR set and a picture name, the screen is
    // taken while the box is up.
    NBDriver::MessageBoxSeen AnswerBoxAfter(const std::function<void()>& act,
                                            const wchar_t* picture = nullptr) {
        NBDriver::MessageBoxSeen seen;
        std::atomic<bool> answered{false};
        std::thread person([&] {
            seen = app->WaitForMessageBox(30000);
            const wchar_t* shots = _wgetenv(L"NB_SCREENSHOT_DIR");
            if (picture != nullptr && shots != nullptr && seen.window != nullptr) {
                Sleep(500);
                NBDriver::CaptureScreen(std::wstring(shots) + L"\\" + picture + L".bmp");
            }
            app->Answer(seen, IDOK);
            answered = true;
        });
        act();
        const bool ended = PumpUntil(
            [&] { return answered.load() && app->Caption(NBDriver::StartButton) == L"START"; },
            45000);
        person.join();
        EXPECT_TRUE(ended) << "the job did not end";
        return seen;
    }
};

} // namespace NBTest
