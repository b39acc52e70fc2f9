// The menu bar, the web links, the two "Select" buttons and files dropped on
// the window.

#include "Dialogs.h"
#include "FileDrop.h"
#include "FormMain.h"
#include "Paths.h"
#include "ProgramInfo.h"
#include "TextConversion.h"

#include <algorithm>

namespace MyGame {

using namespace NBUtility;

namespace {
const std::vector<std::string> containerFilter{"File NBNX (*.nbnx)", "*.nbnx"};
const std::vector<std::string> allFilesFilter{"All files(*.*)", "*.*"};
constexpr char containerExtension[] = "nbnx";
} // namespace

void FormMain::BuildMenus() {
    const auto item = [this](GUIElement* element) { OnMenuItem(element); };
    menuBar = std::make_unique<MenuBar>(this);
    fileMenu = std::make_unique<Menu>("&File", menuBar.get());
    exitItem = std::make_unique<SubMenu>(fileMenu.get(), "&Exit");
    exitItem->onClick = item;
    helpMenu = std::make_unique<Menu>("&?", menuBar.get());
    guideItem = std::make_unique<SubMenu>(helpMenu.get(), "&Guide");
    guideItem->onClick = item;
    homeItem = std::make_unique<SubMenu>(helpMenu.get(), "&Home");
    homeItem->onClick = item;
    menuBar->Create();
}

void FormMain::OnMenuItem(GUIElement* element) {
    if (element == nullptr) {
        return;
    }
    if (element->id == exitItem->id) {
        // Exactly as the title bar's close: the confirmation decides.
        SendMessageW(window, WM_CLOSE, 0, 0);
    }
    if (element->id == homeItem->id) {
        OpenWithShell(siteAddress);
    }
    if (element->id == guideItem->id) {
        OpenWithShell(GuidePageAddress());
    }
}

void FormMain::SelectSource() {
    const std::string path =
        OpenFileDialog(this, "", "", encryptMode ? allFilesFilter : containerFilter);
    if (!path.empty()) {
        PutSourcePath(path);
    }
}

void FormMain::PutSourcePath(const std::string& path) {
    sourceBox->SetTextNarrow(path);
    if (encryptMode && destBox->GetTextNarrow().empty()) {
        destBox->SetTextNarrow(NBEngine::ChangeNameExtension(path, containerExtension));
    }
}

// Folders are passed over; of the files, the first is taken. A running job
// or the open About window (which disables this one) leaves the boxes alone.
void FormMain::OnFilesDropped(const std::vector<std::wstring>& paths) {
    if (JobExists() || IsWindowEnabled(window) == FALSE) {
        return;
    }
    const auto firstFile = std::find_if(
        paths.begin(), paths.end(), [](const std::wstring& path) { return !IsFolderPath(path); });
    if (firstFile == paths.end()) {
        return;
    }
    PutSourcePath(ToNarrow(*firstFile));
    if (paths.size() > 1) {
        ShowInfo(this, "One file is handled at a time: only the first file dropped was taken.",
                 programName);
    }
}

void FormMain::SelectDestination() {
    std::string path =
        SaveFileDialog(this, "", "", "", encryptMode ? containerFilter : allFilesFilter);
    if (path.empty()) {
        return;
    }
    if (encryptMode) {
        path = NBEngine::ChangeNameExtension(path, containerExtension);
    }
    destBox->SetTextNarrow(path);
}

} // namespace MyGame
