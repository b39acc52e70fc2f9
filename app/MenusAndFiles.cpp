// The menu bar, the web links and the two "Select" buttons.

#include "Dialogs.h"
#include "FormMain.h"
#include "Paths.h"
#include "ProgramInfo.h"

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
    FileChoice outcome = FileChoice::Cancelled;
    const std::string path =
        OpenFileDialog(this, "", "", encryptMode ? allFilesFilter : containerFilter, &outcome);
    if (outcome == FileChoice::NotRepresentable) {
        RefusePath(sourceBox.get());
        return;
    }
    if (path.empty()) {
        return;
    }
    sourceBox->SetTextNarrow(path);
    if (encryptMode && destBox->GetTextNarrow().empty()) {
        destBox->SetTextNarrow(NBEngine::ChangeNameExtension(path, containerExtension));
    }
}

void FormMain::SelectDestination() {
    FileChoice outcome = FileChoice::Cancelled;
    std::string path =
        SaveFileDialog(this, "", "", "", encryptMode ? containerFilter : allFilesFilter, &outcome);
    if (outcome == FileChoice::NotRepresentable) {
        RefusePath(destBox.get());
        return;
    }
    if (path.empty()) {
        return;
    }
    if (encryptMode) {
        path = NBEngine::ChangeNameExtension(path, containerExtension);
    }
    destBox->SetTextNarrow(path);
}

} // namespace MyGame
