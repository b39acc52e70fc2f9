// The menu bar, the web links, the two "Select" buttons and files dropped on
// the window.

#include "Dialogs.h"
#include "FileDrop.h"
#include "FormMain.h"
#include "Paths.h"
#include "PlatformFiles.h"
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

namespace {
bool IsContainerPath(const std::string& path) {
    const std::string suffix = std::string(".") + containerExtension;
    return path.size() > suffix.size() &&
           NBEngine::ToLower(path.substr(path.size() - suffix.size())) == suffix;
}

// Relative to the folder the program was started in, as Explorer's are.
std::wstring FullPath(const std::wstring& path) {
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) {
        return path;
    }
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length) {
        return path;
    }
    full.resize(written);
    return full;
}
} // namespace

// A container opens for decryption beside itself, any other file for
// encryption; what cannot be opened is said, and the window stays as usual.
void FormMain::OpenGivenPaths(const std::vector<std::wstring>& paths) {
    if (paths.empty() || JobExists()) {
        return;
    }
    const std::string path = ToNarrow(FullPath(paths.front()));
    std::string notice;
    switch (NBEngine::Platform::KindOf(path, true)) {
    case NBEngine::Platform::FileKind::Regular:
        OpenFile(path);
        break;
    case NBEngine::Platform::FileKind::Folder:
        notice = "A folder cannot be opened, only a file:\n" + path;
        break;
    case NBEngine::Platform::FileKind::Missing:
        notice = "The file was not found:\n" + path;
        break;
    default:
        notice = "This is not a file that can be opened:\n" + path;
        break;
    }
    if (paths.size() > 1) {
        notice += std::string(notice.empty() ? "" : "\n\n") +
                  "One file is handled at a time: only the first file given was taken.";
    }
    if (!notice.empty()) {
        ShowInfo(this, notice, programName);
    }
    // After the box, which leaves the focus nowhere in particular.
    (sourceBox->GetTextNarrow().empty() ? sourceBox : passwordBox)->Focus();
}

void FormMain::OpenFile(const std::string& path) {
    const bool container = IsContainerPath(path);
    modeTabs->Select(container ? 1 : 0);
    if (container) {
        sameFolderOption->SetChecked(true);
        specifyPathOption->SetChecked(false);
        OnNamingOption(sameFolderOption.get());
    }
    PutSourcePath(path);
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
