// The menu bar, the web links, the two "Select" buttons and files dropped on
// the window.

#include "Dialogs.h"
#include "FileDrop.h"
#include "FileSetText.h"
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
    TakeFiles(OpenFilesDialog(this, "", "", encryptMode ? allFilesFilter : containerFilter));
}

void FormMain::TakeFiles(const std::vector<std::string>& paths) {
    if (paths.size() == 1) {
        PutSourcePath(paths.front());
    } else if (paths.size() > 1) {
        PutSourceSet(paths);
    }
}

void FormMain::PutSourcePath(const std::string& path) {
    sourceSet.clear();
    sourceBox->SetTextNarrow(path);
    if (encryptMode && destBox->GetTextNarrow().empty()) {
        destBox->SetTextNarrow(NBEngine::ChangeNameExtension(path, containerExtension));
    }
}

// For a set the destination box names a folder, empty for beside each file:
// a file's destination left from before does not pass for one.
void FormMain::PutSourceSet(const std::vector<std::string>& paths) {
    sourceSet = paths;
    sourceBox->SetTextNarrow(SetDisplayText(paths));
    const std::string destination = NBEngine::Trim(destBox->GetTextNarrow());
    if (!destination.empty() &&
        NBEngine::Platform::KindOf(destination, true) != NBEngine::Platform::FileKind::Folder) {
        destBox->SetTextNarrow("");
    }
}

std::vector<std::string> FormMain::SourceSetShown() {
    if (sourceSet.size() > 1 && sourceBox->GetTextNarrow() == SetDisplayText(sourceSet)) {
        return sourceSet;
    }
    return {};
}

// The files dropped are taken, several as a set; folders are left out. A
// running job or the open About window (which disables this one) leaves the
// boxes alone.
void FormMain::OnFilesDropped(const std::vector<std::wstring>& paths) {
    if (JobExists() || IsWindowEnabled(window) == FALSE) {
        return;
    }
    std::vector<std::string> files;
    for (const std::wstring& path : paths) {
        if (!IsFolderPath(path)) {
            files.push_back(ToNarrow(path));
        }
    }
    if (files.empty()) {
        return;
    }
    TakeFiles(files);
    if (files.size() < paths.size()) {
        ShowInfo(this, "Folders are left out: only the files dropped were taken.", programName);
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

// Why a path given cannot be opened; empty for a file.
std::string NoticeForPath(const std::string& path) {
    switch (NBEngine::Platform::KindOf(path, true)) {
    case NBEngine::Platform::FileKind::Regular:
        return std::string();
    case NBEngine::Platform::FileKind::Folder:
        return "A folder cannot be opened, only a file:\n" + path;
    case NBEngine::Platform::FileKind::Missing:
        return "The file was not found:\n" + path;
    default:
        return "This is not a file that can be opened:\n" + path;
    }
}
} // namespace

// The files given are opened, several as a set: containers only for
// decryption beside themselves, anything else for encryption. What cannot be
// opened is said, and the window stays as usual. A path given twice is taken
// once rather than refused as a set that names one file twice.
void FormMain::OpenGivenPaths(const std::vector<std::wstring>& paths) {
    if (paths.empty() || JobExists()) {
        return;
    }
    std::vector<std::string> files;
    std::string notice;
    for (const std::wstring& given : paths) {
        const std::string path = ToNarrow(FullPath(given));
        const std::string problem = NoticeForPath(path);
        const bool seen = std::any_of(files.begin(), files.end(), [&](const std::string& file) {
            return NBEngine::ToLower(file) == NBEngine::ToLower(path);
        });
        if (!problem.empty()) {
            notice += (notice.empty() ? "" : "\n\n") + problem;
        } else if (!seen) {
            files.push_back(path);
        }
    }
    if (!files.empty()) {
        OpenFiles(files);
    }
    if (!notice.empty()) {
        ShowInfo(this, notice, programName);
    }
    // After the box, which leaves the focus nowhere in particular.
    (sourceBox->GetTextNarrow().empty() ? sourceBox : passwordBox)->Focus();
}

void FormMain::OpenFiles(const std::vector<std::string>& paths) {
    const bool containers = std::all_of(paths.begin(), paths.end(), IsContainerPath);
    modeTabs->Select(containers ? 1 : 0);
    if (containers) {
        sameFolderOption->SetChecked(true);
        specifyPathOption->SetChecked(false);
        OnNamingOption(sameFolderOption.get());
    }
    TakeFiles(paths);
}

// For a set, the folder of the name chosen.
void FormMain::SelectDestination() {
    std::string path =
        SaveFileDialog(this, "", "", "", encryptMode ? containerFilter : allFilesFilter);
    if (path.empty()) {
        return;
    }
    if (!SourceSetShown().empty()) {
        path = NBEngine::DirectoryOf(path);
    } else if (encryptMode) {
        path = NBEngine::ChangeNameExtension(path, containerExtension);
    }
    destBox->SetTextNarrow(path);
}

} // namespace MyGame
