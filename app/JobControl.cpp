// START and STOP, the job on its worker thread, the status band and the exit
// confirmation.
//
// Who touches what. The interface thread runs every handler, the band's ticks,
// the exit question and the session's end; it alone moves jobPhase out of Idle
// (START) and into Stopping (STOP, exit, session end, the form's end), and it
// alone waits for the worker. The worker runs the engine through the job link,
// owns cleanupList and pendingFocus while the job exists, moves jobPhase from
// Running to Finishing, and reaches the controls only by messages sent to the
// interface thread; the last of them restores the window and sets Idle there.
// A wait for the worker therefore serves sent messages, and never happens
// while the interface thread shows a box the worker waits for.

#include "Dialogs.h"
#include "FileSetJob.h"
#include "FormMain.h"
#include "Jobs.h"
#include "PlatformFiles.h"
#include "ProgramInfo.h"
#include "ReportBox.h"
#include "TextConversion.h"

namespace MyGame {

using namespace NBUtility;

namespace {
constexpr std::int32_t bandTop = 80;
constexpr std::int32_t bandBottom = 100;
constexpr int phraseTicks = 3;
constexpr std::size_t longestBand = 55;
constexpr char bandPhrase[] = "decrypt and encrypt files...";
constexpr char derivationPhrase[] = "Deriving the key from the password...";
const char* const bitPairs[] = {"01", "00", "10", "11"};
// How often a wait for the worker looks again for a box of the job to close.
constexpr DWORD jobBoxPollMs = 100;

BOOL CALLBACK CloseIfMessageBoxOf(HWND candidate, LPARAM owner) {
    wchar_t className[16] = {};
    GetClassNameW(candidate, className, 15);
    if (std::wstring(className) == L"#32770" &&
        GetWindow(candidate, GW_OWNER) == reinterpret_cast<HWND>(owner)) {
        PostMessageW(candidate, WM_COMMAND, IDOK, 0);
    }
    return TRUE;
}
} // namespace

void FormMain::OnStartButton() {
    switch (jobPhase.load()) {
    case JobPhase::Idle:
        StartJob();
        return;
    case JobPhase::Running:
        RequestStop();
        return;
    case JobPhase::Stopping:
    case JobPhase::Finishing:
        return; // the job is ending; the button reads START once it has
    }
}

void FormMain::StartJob() {
    // The last job's thread may still be on its way out.
    JoinWorker();
    strongAtStart = encryptMode && strongCheck->GetChecked();
    jobSet = SourceSetShown();
    jobPhase = JobPhase::Running;
    startButton->SetTextNarrow(stopCaption);
    SetInputsEnabled(false);
    StartWorker();
}

// true when a running job was told to stop now.
bool FormMain::RequestStop() {
    JobPhase expected = JobPhase::Running;
    return jobPhase.compare_exchange_strong(expected, JobPhase::Stopping);
}

// Tells the job to stop and waits until its thread has ended, so that it has
// removed what it must; false when no wait is possible here: inside an error
// box of the job (the worker waits for that box) or with the job on this very
// thread. The job then ends as soon as the box is gone.
bool FormMain::StopJobAndWait() {
    RequestStop();
    if (jobBoxOnWindowThread) {
        CloseJobBoxes();
        return false;
    }
    if (!worker) {
        return !JobExists();
    }
    JoinWorker();
    return true;
}

// Never terminates the worker: it may hold files. A box the job has open is
// closed, so that the wait does not depend on a person.
void FormMain::JoinWorker() {
    if (!worker) {
        return;
    }
    while (!worker->WaitServingSentMessages(jobBoxPollMs)) {
        if (JobExists()) {
            CloseJobBoxes();
        }
    }
    worker.reset();
}

// The job's boxes are owned by the window: the success box on the worker's
// thread, an error box or a set's report on this one. The exit question has
// no owner.
void FormMain::CloseJobBoxes() {
    if (window == nullptr) {
        return;
    }
    const auto owner = reinterpret_cast<LPARAM>(window);
    if (worker) {
        EnumThreadWindows(worker->threadId, CloseIfMessageBoxOf, owner);
    }
    if (jobBoxOnWindowThread) {
        EnumThreadWindows(GetCurrentThreadId(), CloseIfMessageBoxOf, owner);
    }
}

void FormMain::StartWorker() {
    worker = std::make_unique<Tread>();
    if (worker->failed) {
        worker.reset();
        RunWorker();
        return;
    }
    worker->userData = this;
    worker->runCallback = [](Tread* thread) {
        static_cast<FormMain*>(thread->userData)->RunWorker();
        return 0;
    };
    worker->Start();
    if (worker->failed) {
        worker.reset();
        RunWorker();
    }
}

// Runs on the worker thread (or, without one, on the interface thread).
void FormMain::RunWorker() {
    cleanupList.clear();
    pendingFocus = nullptr;
    if (!jobSet.empty()) {
        RunSetJob();
        return;
    }
    jobState.strongKeys = nullptr; // a single file derives its own key
    const bool done = NBEngine::RunJob(*this, jobState);
    FinishJob(done);
}

void FormMain::FinishJob(bool done) {
    if (!done) {
        EndJob(std::string());
        return;
    }
    EndJob(encryptMode ? "File encrypted successfully" : "File decrypted successfully");
}

// One box at the end tells how the whole set went.
void FormMain::RunSetJob() {
    FileSetJob job(*this, jobState, jobSet, [this](const std::string& position) {
        RunOnWindowThread([&] { ShowSetPosition(position); });
    });
    const SetOutcome outcome = job.Run();
    if (!outcome.ran) {
        EndJob(std::string());
        return;
    }
    EndJob(SetSummaryText(outcome.total, outcome.failures.size(), encryptMode),
           SetFailureLines(outcome.failures));
}

void FormMain::EndJob(const std::string& closingText, const std::vector<std::string>& failures) {
    JobPhase expected = JobPhase::Running;
    const bool stopped = !jobPhase.compare_exchange_strong(expected, JobPhase::Finishing);
    if (!closingText.empty() && !stopped) {
        ShowClosingBox(closingText, failures);
    }
    if (stopped) {
        for (const std::string& path : cleanupList) {
            NBEngine::Platform::RemoveFile(path);
        }
    }
    cleanupList.clear();
    // One step on the interface thread: no click or tick comes between the
    // window's restoring and the job's end.
    RunOnWindowThread([this] { RestoreAfterJob(); });
}

// A list of failures can be long: it is shown in a report that keeps to the
// screen, a window of the interface thread, which a wait for the worker
// closes as it closes an error box there.
void FormMain::ShowClosingBox(const std::string& summary,
                              const std::vector<std::string>& failures) {
    if (failures.empty()) {
        ShowInfo(this, summary, programName);
        return;
    }
    RunOnWindowThread([&] {
        jobBoxOnWindowThread = true;
        ShowReport(this, {programName, summary, failures, true});
        jobBoxOnWindowThread = false;
    });
}

void FormMain::RestoreAfterJob() {
    setPosition.clear();
    derivingKey = false;
    SetInputsEnabled(true);
    if (pendingFocus != nullptr) {
        pendingFocus->Focus();
    }
    ClearStatusBand();
    startButton->SetTextNarrow(startCaption);
    jobPhase = JobPhase::Idle;
    if (closeOnceJobEnds) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

void FormMain::SetInputsEnabled(bool enabled) {
    sourceBox->SetEnabled(enabled);
    sourceSelectButton->SetEnabled(enabled);
    if (!encryptMode) {
        sameFolderOption->SetEnabled(enabled);
        specifyPathOption->SetEnabled(enabled);
        if (specifyPathOption->GetChecked()) {
            destBox->SetEnabled(enabled);
            destSelectButton->SetEnabled(enabled);
        }
    } else {
        destBox->SetEnabled(enabled);
        destSelectButton->SetEnabled(enabled);
        verifyCheck->SetEnabled(enabled);
        strongCheck->SetEnabled(enabled);
        confirmBox->SetEnabled(passwordShown ? false : enabled);
    }
    passwordBox->SetEnabled(enabled);
    showButton->SetEnabled(enabled);
    modeTabs->SetEnabled(enabled);
}

// Safe from any thread: the interface thread repaints the band white.
void FormMain::ClearStatusBand() {
    bandShown = false;
    InvalidateStatusBand();
}

void FormMain::InvalidateStatusBand() {
    if (window == nullptr) {
        return;
    }
    RECT client{};
    GetClientRect(window, &client);
    const RECT band{0, layout.Scale(bandTop), client.right, layout.Scale(bandBottom)};
    InvalidateRect(window, &band, FALSE);
}

// While a set runs the band names its file instead.
void FormMain::ShowSetPosition(const std::string& position) {
    setPosition = position;
    ShowBandText(position);
}

void FormMain::ShowBandText(const std::string& text) {
    bandText = text;
    bandShown = true;
    InvalidateStatusBand();
}

void FormMain::AnimateStatusBand() {
    if (!JobExists()) {
        return;
    }
    if (derivingKey.load()) {
        ShowBandText(derivationPhrase);
        return;
    }
    if (!setPosition.empty()) {
        ShowSetPosition(setPosition);
        return;
    }
    if (bandTicks < phraseTicks) {
        bandText = bandPhrase;
        ++bandTicks;
    } else {
        if (bandTicks == phraseTicks) {
            bandText.clear();
            ++bandTicks;
        }
        const std::int32_t value = bandGenerator.Next(1, 4);
        if (value >= 1 && value <= 4) {
            bandText += bitPairs[value - 1];
        }
    }
    if (bandText.size() > longestBand) {
        bandText.clear();
        bandTicks = 0;
    }
    bandShown = true;
    InvalidateStatusBand();
}

bool FormMain::ConfirmClose() {
    UnregisterHotKeys();
    // Yes was said over a box of the job on this thread; the job has ended.
    if (closeOnceJobEnds && !JobExists()) {
        StopBandTimer();
        return true;
    }
    if (!AskYesNo("You really want to exit?", "Uscita")) {
        RegisterHotKeys();
        return false;
    }
    // The first Yes while a job runs stops it and keeps the window.
    if (RequestStop()) {
        return false;
    }
    // Asked again while the job still exists: the window goes once it has
    // ended, here or, from inside a box of the job, when it is restored.
    if (JobExists() && !StopJobAndWait()) {
        closeOnceJobEnds = true;
        return false;
    }
    StopBandTimer();
    return true;
}

// The process may end as soon as this returns: the job ends first.
void FormMain::OnEndSession() {
    StopJobAndWait();
    StopBandTimer();
}

void FormMain::StopBandTimer() {
    if (bandTimer && bandTimer->running) {
        bandTimer->Stop();
    }
}

} // namespace MyGame
