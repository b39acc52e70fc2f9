// The window never lets a job go before it has cleaned up: a second Yes to
// the exit question, the session's end and the form's destruction all wait
// for a job that is still busy. The job is held inside its first progress
// report once its output exists, longer than the old stop-then-terminate
// bound of one second.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "AppDriver.h"
#include "HeldJob.h"
#include "WindowTestSupport.h"

using namespace NBDriver;

namespace {

constexpr DWORD holdMs = 1500;

class JobEnd : public NBTest::HeldWindowTest {
protected:
    JobEnd() { HoldOnceWritten(L"big.nbnx"); }

    void StartHeldJob() {
        ASSERT_TRUE(app->StartLongEncryption(folder.Path()));
        ASSERT_TRUE(NBTest::PumpUntil([&] { return hold.held.load(); }, 30000))
            << "the job did not begin writing";
    }

    void ExpectNothingOfTheJob() {
        EXPECT_EQ(NamesStartingWith(folder.Path(), L"big.nbnx"), std::vector<std::wstring>{});
        EXPECT_TRUE(FileThere(folder.File(L"big.bin")));
    }
};

TEST_F(JobEnd, SecondYesClosesTheWindowOnlyOnceTheJobHasEnded) {
    StartHeldJob();
    HWND main = app->Main();
    std::atomic<int> questions{0};
    std::atomic<bool> stayedWhileHeld{false};
    std::atomic<bool> driven{false};
    std::thread person([&] {
        for (int round = 0; round < 2; ++round) {
            PostMessageW(main, WM_CLOSE, 0, 0);
            const MessageBoxSeen question = app->WaitForMessageBox(10000);
            if (question.caption != L"Uscita") {
                break;
            }
            ++questions;
            app->Answer(question, IDYES);
        }
        Sleep(holdMs);
        stayedWhileHeld = IsWindow(main) != FALSE;
        hold.Release();
        driven = true;
    });
    const bool gone =
        NBTest::PumpUntil([&] { return driven.load() && IsWindow(main) == FALSE; }, 30000);
    person.join();
    EXPECT_EQ(questions.load(), 2);
    EXPECT_TRUE(stayedWhileHeld) << "the window closed under the job";
    EXPECT_TRUE(gone) << "the second Yes did not close the window once the job had ended";
    ExpectNothingOfTheJob();
}

TEST_F(JobEnd, SessionEndReturnsOnlyOnceTheJobHasCleanedUp) {
    StartHeldJob();
    EXPECT_EQ(SendMessageW(app->Main(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(form->IsRunning()) << "the question alone stops nothing";
    hold.ReleaseLater(holdMs);
    SendMessageW(app->Main(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(app->Caption(StartButton), L"START");
    EXPECT_TRUE(app->IsEnabled(SourceBox));
    ExpectNothingOfTheJob();
}

TEST_F(JobEnd, DestroyingTheFormWaitsForTheJobInsteadOfTerminatingIt) {
    StartHeldJob();
    hold.ReleaseLater(holdMs);
    app.reset();
    form.reset();
    ExpectNothingOfTheJob();
}

// A key derivation cannot be cut short: STOP during it ends the job as soon
// as it returns, with no box and nothing written, whichever way the job runs.
class StopDuringDerivation : public JobEnd, public testing::WithParamInterface<bool> {};

TEST_P(StopDuringDerivation, EndsTheJobOnceTheDerivationReturns) {
    const bool decrypting = GetParam();
    UseTestStrongCost();
    const std::wstring plain = folder.File(L"plain.txt");
    const std::wstring box = folder.File(L"plain.nbnx");
    WriteFileBytes(plain, "contents");
    app->Click(StrongCheck);
    ASSERT_TRUE(NBTest::PumpUntil([&] { return app->IsChecked(StrongCheck); }, 5000));
    app->SetText(SourceBox, plain);
    app->SetText(DestBox, box);
    app->SetText(PasswordBox, L"a long enough passphrase");
    app->SetText(ConfirmBox, L"a long enough passphrase");
    if (decrypting) {
        const MessageBoxSeen done = AnswerBoxAfter([&] { app->Click(StartButton); });
        ASSERT_EQ(done.text, L"File encrypted successfully");
        DeleteFileW(plain.c_str());
        app->SelectTab(1);
        app->SetText(SourceBox, box);
        app->SetText(PasswordBox, L"a long enough passphrase");
    }
    const std::vector<std::wstring> before = FolderNames(folder.Path());

    form->holdDerivation = true;
    app->Click(StartButton);
    ASSERT_TRUE(NBTest::PumpUntil([&] { return hold.held.load(); }, 30000))
        << "no key derivation began";
    EXPECT_EQ(form->StatusBandText(), "Deriving the key from the password...");
    EXPECT_FALSE(app->IsEnabled(PasswordBox));
    if (!decrypting) {
        EXPECT_FALSE(app->IsEnabled(StrongCheck)) << "the job keeps the state it started with";
    }
    app->Click(StartButton);
    ASSERT_TRUE(NBTest::PumpUntil([&] { return !form->IsRunning(); }, 5000));
    EXPECT_EQ(app->Caption(StartButton), L"STOP") << "the job ends only once the derivation has";

    // A box of the job would hold START back until answered.
    hold.Release();
    EXPECT_TRUE(NBTest::PumpUntil([&] { return app->Caption(StartButton) == L"START"; }, 30000));
    EXPECT_EQ(form->StatusBandText(), "");
    EXPECT_EQ(FolderNames(folder.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(JobEnd, StopDuringDerivation, testing::Bool());

// The box of a job's error: the message first, the system's reason below it.
// With NB_SCREENSHOT_DIR set, a picture of it is written there.
TEST_F(JobEnd, AnErrorShowsTheMessageAndTheSystemsReasonBelowIt) {
    StartHeldJob();
    MessageBoxSeen seen;
    std::atomic<bool> reported{false};
    std::thread job([&] {
        form->ReportError(NBEngine::JobError("big.nbnx: file not accessible",
                                             NBEngine::TextField::Destination, "Access is denied.",
                                             "C:\\big.nbnx"));
        reported = true;
    });
    std::thread person([&] {
        seen = app->WaitForMessageBox(10000);
        if (const wchar_t* folder = _wgetenv(L"NB_SCREENSHOT_DIR"); folder != nullptr) {
            Sleep(500);
            CaptureScreen(std::wstring(folder) + L"\\error-with-reason.bmp");
        }
        app->Answer(seen, IDOK);
    });
    EXPECT_TRUE(NBTest::PumpUntil([&] { return reported.load(); }, 20000));
    person.join();
    job.join();
    EXPECT_EQ(seen.caption, L"ERROR");
    EXPECT_EQ(seen.text, L"big.nbnx: file not accessible\nAccess is denied.");
}

} // namespace
