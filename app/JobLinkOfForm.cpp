// The engine's job link, answered from the form's controls. Every operation
// is called on the worker thread; the controls carry it out on theirs.

#include "Dialogs.h"
#include "FormMain.h"
#include "Paths.h"
#include "TextConversion.h"

namespace MyGame {

using NBEngine::Option;
using NBEngine::TextField;

NBUtility::TextBox* FormMain::BoxOf(TextField field) {
    switch (field) {
    case TextField::Source:
        return sourceBox.get();
    case TextField::Destination:
        return destBox.get();
    case TextField::Password:
        return passwordBox.get();
    case TextField::Confirmation:
        return confirmBox.get();
    case TextField::None:
        break;
    }
    return nullptr;
}

// Paths are taken as a person sees them, without surrounding spaces.
std::string FormMain::ReadText(TextField field) {
    NBUtility::TextBox* box = BoxOf(field);
    if (box == nullptr) {
        return std::string();
    }
    const bool isPath = field == TextField::Source || field == TextField::Destination;
    if (isPath) {
        return NBEngine::Trim(box->GetTextNarrow());
    }
    // A password is one byte per UTF-16 unit, as the container has always had it.
    const std::wstring typed = box->GetText();
    return NBUtility::PasswordBytes(std::u16string(typed.begin(), typed.end()));
}

// The strong container takes a password's characters as typed.
std::string FormMain::ReadTypedText(TextField field) {
    NBUtility::TextBox* box = BoxOf(field);
    return box == nullptr ? std::string() : box->GetTextNarrow();
}

bool FormMain::IsChecked(Option option) {
    switch (option) {
    case Option::Verify:
        return verifyCheck->GetChecked();
    case Option::SameFolder:
        return sameFolderOption->GetChecked();
    case Option::SpecifyPath:
        return specifyPathOption->GetChecked();
    case Option::Strong:
        return JobExists() ? strongAtStart : encryptMode && strongCheck->GetChecked();
    }
    return false;
}

int FormMain::GetProgress() {
    return progressBar->GetValue();
}

// Progress after a derivation means it has returned.
void FormMain::SetProgress(int value) {
    if (derivingKey.exchange(false)) {
        RunOnWindowThread([this] { AnimateStatusBand(); });
    }
    progressBar->SetValue(value);
}

// A derivation takes seconds and moves no bar; the band says why.
void FormMain::NoteKeyDerivation() {
    derivingKey = true;
    RunOnWindowThread([this] { AnimateStatusBand(); });
}

// The box is shown from the interface thread, so that the window has taken
// its focus back when the box is gone. The worker waits meanwhile; the window
// keeps painting and ticking. The inputs are disabled while the job runs, so
// the named box gets the focus again once they are enabled.
// The message stays the first line; the system's reason, if any, follows.
void FormMain::ReportError(const NBEngine::JobError& error) {
    const std::string text =
        error.reason.empty() ? error.message : error.message + "\n" + error.reason;
    RunOnWindowThread([&] {
        // A job told to stop shows nothing, and no box holds up its end.
        if (jobPhase.load() != JobPhase::Running) {
            return;
        }
        jobBoxOnWindowThread = true;
        NBUtility::ShowError(this, text, "ERROR");
        jobBoxOnWindowThread = false;
    });
    pendingFocus = BoxOf(error.focus);
    if (pendingFocus != nullptr) {
        pendingFocus->Focus();
    }
}

} // namespace MyGame
