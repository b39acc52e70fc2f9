#include "Dialogs.h"

#include "TextConversion.h"

#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>

namespace NBUtility {

namespace {

HWND WindowOf(GUIElement* owner) {
    return owner != nullptr ? owner->window : nullptr;
}

int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    // The same conversion as every other text, whatever the system code page.
    return MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), flags);
}

const std::vector<std::string>& DefaultFilters() {
    static const std::vector<std::string> filters{"All files(*.*)", "*.*"};
    return filters;
}

enum class DialogKind { Open, OpenMany, Save };

struct DialogRequest {
    DialogKind kind;
    GUIElement* owner;
    std::string title;
    std::string initialDirectory;
    std::string suggestedName;
    const std::vector<std::string>& filters;
};

// The name buffer, starting with the suggestion when it fits; a suggestion
// that does not fit is left out rather than cut.
std::wstring NameBuffer(const std::string& suggestedName) {
    std::wstring buffer(FileNameCapacity, L'\0');
    const std::wstring suggested = ToWide(suggestedName);
    if (suggested.size() < FileNameCapacity) {
        std::copy(suggested.begin(), suggested.end(), buffer.begin());
    }
    return buffer;
}

BOOL ShowFileDialog(DialogKind kind, OPENFILENAMEW& dialog) {
    if (kind != DialogKind::Save) {
        dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        if (kind == DialogKind::OpenMany) {
            dialog.Flags |= OFN_ALLOWMULTISELECT | OFN_EXPLORER;
        }
        return GetOpenFileNameW(&dialog);
    }
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
    return GetSaveFileNameW(&dialog);
}

// What the confirmed dialog left in the buffer, when the program can use it:
// up to the first zero, or for several files up to the two that end the list.
FileChoice Examine(DialogKind kind, std::wstring& buffer) {
    const std::size_t end =
        kind == DialogKind::OpenMany ? buffer.find(std::wstring(2, L'\0')) : buffer.find(L'\0');
    if (end == std::wstring::npos) {
        return FileChoice::TooLong;
    }
    buffer.resize(end);
    return FileChoice::Chosen;
}

// The buffer as the dialog left it, without its closing zeros.
std::wstring RunFileDialog(const DialogRequest& request, FileChoice* outcome) {
    const std::wstring filterBlock = FilterBlock(request.filters);
    const std::wstring title = ToWide(request.title);
    const std::wstring initialDirectory = ToWide(request.initialDirectory);
    std::wstring fileName = NameBuffer(request.suggestedName);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = WindowOf(request.owner);
    dialog.lpstrFilter = filterBlock.empty() ? nullptr : filterBlock.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = static_cast<DWORD>(fileName.size());
    dialog.lpstrInitialDir = initialDirectory.empty() ? nullptr : initialDirectory.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    FileChoice choice = FileChoice::Cancelled;
    if (ShowFileDialog(request.kind, dialog)) {
        choice = Examine(request.kind, fileName);
    } else if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
        choice = FileChoice::TooLong;
    }
    if (outcome != nullptr) {
        *outcome = choice;
    }
    return choice == FileChoice::Chosen ? fileName : std::wstring();
}

} // namespace

void ShowInfo(GUIElement* owner, const std::string& text, const std::string& caption) {
    ShowMessage(WindowOf(owner), text, caption, MB_TASKMODAL);
}

void ShowError(GUIElement* owner, const std::string& text, const std::string& caption) {
    ShowMessage(WindowOf(owner), text, caption, MB_TASKMODAL | MB_ICONERROR);
}

bool AskYesNo(const std::string& text, const std::string& caption) {
    return ShowMessage(nullptr, text, caption, MB_TASKMODAL | MB_ICONQUESTION | MB_YESNO) == IDYES;
}

std::wstring FilterBlock(const std::vector<std::string>& filters) {
    std::wstring block;
    for (std::size_t i = 0; i + 1 < filters.size(); i += 2) {
        if (filters[i + 1].empty()) {
            continue;
        }
        block += ToWide(filters[i]);
        block += L'\0';
        block += ToWide(filters[i + 1]);
        block += L'\0';
    }
    if (!block.empty()) {
        block += L'\0';
    }
    return block;
}

std::string OpenFileDialog(GUIElement* owner, const std::string& title,
                           const std::string& initialDirectory,
                           const std::vector<std::string>& filters, FileChoice* outcome) {
    return ToNarrow(
        RunFileDialog({DialogKind::Open, owner, title, initialDirectory, {}, filters}, outcome));
}

std::vector<std::string> OpenFilesDialog(GUIElement* owner, const std::string& title,
                                         const std::string& initialDirectory,
                                         const std::vector<std::string>& filters,
                                         FileChoice* outcome) {
    std::vector<std::string> paths;
    const std::wstring buffer =
        RunFileDialog({DialogKind::OpenMany, owner, title, initialDirectory, {}, filters}, outcome);
    for (const std::wstring& path : SplitMultipleSelection(buffer)) {
        paths.push_back(ToNarrow(path));
    }
    return paths;
}

std::vector<std::wstring> SplitMultipleSelection(const std::wstring& buffer) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start < buffer.size() && buffer[start] != L'\0') {
        const std::size_t end = std::min(buffer.find(L'\0', start), buffer.size());
        parts.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    if (parts.size() < 2) {
        return parts;
    }
    // A root folder comes with its separator, any other folder without.
    std::wstring folder = parts.front();
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    std::vector<std::wstring> paths;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        paths.push_back(folder + parts[i]);
    }
    return paths;
}

std::string OpenFileDialog(GUIElement* owner) {
    return OpenFileDialog(owner, {}, {}, DefaultFilters());
}

std::string SaveFileDialog(GUIElement* owner, const std::string& title,
                           const std::string& initialDirectory, const std::string& suggestedName,
                           const std::vector<std::string>& filters, FileChoice* outcome) {
    return ToNarrow(RunFileDialog(
        {DialogKind::Save, owner, title, initialDirectory, suggestedName, filters}, outcome));
}

std::string SaveFileDialog(GUIElement* owner, const std::string& title,
                           const std::string& initialDirectory,
                           const std::vector<std::string>& filters) {
    return SaveFileDialog(owner, title, initialDirectory, {}, filters);
}

std::string SaveFileDialog(GUIElement* owner) {
    return SaveFileDialog(owner, {}, {}, DefaultFilters());
}

bool OpenWithShell(const std::string& target) {
    const std::wstring wideTarget = ToWide(target);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", wideTarget.c_str(), nullptr, nullptr, SW_SHOW));
    return result > 32;
}

} // namespace NBUtility
