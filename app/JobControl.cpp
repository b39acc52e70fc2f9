// START and STOP, the job on its worker thread, the status band and the exit
// confirmation.

#include "Dialogs.h"
#include "FormMain.h"
#include "Jobs.h"
#include "PlatformFiles.h"
#include "ProgramInfo.h"
#include "TextConversion.h"

namespace MyGame {

using namespace NBUtility;

namespace {
constexpr std::int32_t bandTop = 80;
constexpr std::int32_t bandBottom = 100;
constexpr int phraseTicks = 3;
constexpr std::size_t longestBand = 55;
constexpr char bandPhrase[] = "decrypt and encrypt files...";
const char* const bitPairs[] = {"01", "00", "10", "11"};
} // namespace

void FormMain::OnStartButton() {
    if (startButton->GetTextNarrow() == "STOP") {
        running = false;
        return;
    }
    running = true;
    jobExists = true;
    startButton->SetTextNarrow("STOP");
    SetInputsEnabled(false);
    StartWorker();
}

void FormMain::WaitForWorker() {
    if (worker) {
        worker->Stop();
        worker.reset();
    }
}

void FormMain::StartWorker() {
    WaitForWorker();
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
    const bool done = !RefuseUnrepresentablePaths() && NBEngine::RunJob(*this, jobState);
    FinishJob(done);
}

void FormMain::FinishJob(bool done) {
    const bool stillRunning = running.load();
    if (done && stillRunning) {
        ShowInfo(this, encryptMode ? "File encrypted successfully" : "File decrypted successfully",
                 programName);
    }
    if (!stillRunning) {
        for (const std::string& path : cleanupList) {
            NBEngine::Platform::RemoveFile(path);
        }
    }
    cleanupList.clear();
    running = false;
    SetInputsEnabled(true);
    if (pendingFocus != nullptr) {
        pendingFocus->Focus();
    }
    ClearStatusBand();
    // The caption comes back last, so a new START finds everything restored.
    startButton->SetTextNarrow("START");
    jobExists = false;
}

// A typed path with a character beyond U+00FF would name another file.
bool FormMain::RefuseUnrepresentablePaths() {
    if (!HasNarrowForm(sourceBox->GetText())) {
        RefusePath(sourceBox.get());
        return true;
    }
    const bool destinationUsed = encryptMode || specifyPathOption->GetChecked();
    if (destinationUsed && !HasNarrowForm(destBox->GetText())) {
        RefusePath(destBox.get());
        return true;
    }
    return false;
}

void FormMain::RefusePath(TextBox* box) {
    const std::string message = "The file name contains characters that are not supported";
    if (jobExists.load()) {
        ReportError(NBEngine::JobError(message, box == sourceBox.get()
                                                    ? NBEngine::TextField::Source
                                                    : NBEngine::TextField::Destination));
    } else {
        ShowError(this, message, "ERROR");
        box->Focus();
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
    const RECT band{0, bandTop, client.right, bandBottom};
    InvalidateRect(window, &band, FALSE);
}

void FormMain::AnimateStatusBand() {
    if (!running.load()) {
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
    if (!AskYesNo("You really want to exit?", "Uscita")) {
        RegisterHotKeys();
        return false;
    }
    if (jobExists.load()) {
        running = false;
        return false;
    }
    if (bandTimer && bandTimer->running) {
        bandTimer->Stop();
    }
    return true;
}

} // namespace MyGame
