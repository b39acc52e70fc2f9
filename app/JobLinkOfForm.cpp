// The engine's job link, answered from the form's controls. Every operation
// is called on the worker thread; the controls carry it out on theirs.

#include "Dialogs.h"
#include "FormMain.h"

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

std::string FormMain::ReadText(TextField field) {
    NBUtility::TextBox* box = BoxOf(field);
    return box != nullptr ? box->GetTextNarrow() : std::string();
}

bool FormMain::IsChecked(Option option) {
    switch (option) {
    case Option::Verify:
        return verifyCheck->GetChecked();
    case Option::SameFolder:
        return sameFolderOption->GetChecked();
    case Option::SpecifyPath:
        return specifyPathOption->GetChecked();
    }
    return false;
}

int FormMain::GetProgress() {
    return progressBar->GetValue();
}

void FormMain::SetProgress(int value) {
    progressBar->SetValue(value);
}

// The box is shown from the interface thread, so that the window has taken
// its focus back when the box is gone. The worker waits meanwhile; the window
// keeps painting and ticking. The inputs are disabled while the job runs, so
// the named box gets the focus again once they are enabled.
void FormMain::ReportError(const std::string& text, TextField focus) {
    RunOnWindowThread([&] { NBUtility::ShowError(this, text, "ERROR"); });
    pendingFocus = BoxOf(focus);
    if (pendingFocus != nullptr) {
        pendingFocus->Focus();
    }
}

} // namespace MyGame
