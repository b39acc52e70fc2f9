// Looks at a packaged program as Windows would show it to a person.
//   program_probe run PROGRAM   its version resource; its main window appears
//                               with all its controls and closes cleanly
//   program_probe shortcut LNK  the shortcut's target and how many icons the
//                               target holds
//   program_probe icon LOCATION an icon location as the registry gives it
//                               ("C:\x.exe",-ID): whether the shell loads it
//                               and the sizes its resource holds
//   program_probe start COMMAND starts a command line as Explorer does and
//                               returns at once
//   program_probe verb KEY FILE...
//                               runs a drop-target verb on files as Explorer
//                               does: KEY is the verb's key below
//                               HKEY_CLASSES_ROOT; its class is created and
//                               the files dropped on it together
//   program_probe opened        the main window that another process started:
//                               its tab and source box; then closes it
//   program_probe library DLL FUNCTION
//                               loads a DLL by its path, with its own folder
//                               searched for what it imports, and shows what
//                               its version check FUNCTION returns
// Exit code 0 when all of that was found.

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "AppDriver.h"
#include "SelectionData.h"

namespace {

std::wstring FileVersion(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> block(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length)) {
        return L"none";
    }
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." +
           std::to_wstring(LOWORD(info->dwFileVersionMS)) + L"." +
           std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." +
           std::to_wstring(LOWORD(info->dwFileVersionLS));
}

int RunProgram(const std::wstring& program) {
    std::wprintf(L"version %ls\n", FileVersion(program).c_str());
    NBDriver::AppDriver app(program);
    if (!app.Started()) {
        std::wprintf(L"no main window (%hs; controls found: %zu)\n", app.StartProblem().c_str(),
                     app.ControlsFound());
        return 1;
    }
    wchar_t caption[256] = {};
    GetWindowTextW(app.Main(), caption, 255);
    std::wprintf(L"window \"%ls\" with %zu controls\n", caption, app.ControlsFound());
    const int exitCode = app.CloseWithYes();
    std::wprintf(L"closed with exit code %d\n", exitCode);
    return exitCode == 0 ? 0 : 1;
}

// The path a shell link points to, or empty.
std::wstring ShortcutTarget(const std::wstring& link) {
    std::wstring target;
    IShellLinkW* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink)))) {
        return target;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH))) {
            target = path;
        }
        file->Release();
    }
    shellLink->Release();
    return target;
}

int ShowShortcut(const std::wstring& link) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    const std::wstring target = ShortcutTarget(link);
    CoUninitialize();
    const UINT icons = target.empty() ? 0 : ExtractIconExW(target.c_str(), -1, nullptr, nullptr, 0);
    std::wprintf(L"target %ls\nicons %u\n", target.c_str(), icons);
    return !target.empty() && icons > 0 ? 0 : 1;
}

// The sizes (in pixels) of an icon group resource, "256" for its large one:
// three WORDs of header, the count last, then 14-byte entries that each begin
// with the width.
std::wstring IconGroupSizes(HMODULE module, int id) {
    HRSRC found =
        FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(LockResource(loaded));
    const DWORD size = found != nullptr ? SizeofResource(module, found) : 0;
    constexpr DWORD HeaderSize = 6;
    constexpr DWORD EntrySize = 14;
    if (bytes == nullptr || size < HeaderSize) {
        return L"";
    }
    const WORD count = static_cast<WORD>(bytes[4] | bytes[5] << 8);
    std::wstring sizes;
    for (DWORD i = 0; i < count && HeaderSize + (i + 1) * EntrySize <= size; ++i) {
        const BYTE width = bytes[HeaderSize + i * EntrySize]; // 0 stands for 256
        sizes += (sizes.empty() ? L"" : L" ") + std::to_wstring(width == 0 ? 256 : width);
    }
    return sizes;
}

int ShowIcon(const std::wstring& location) {
    std::vector<wchar_t> path(location.begin(), location.end());
    path.resize(location.size() + MAX_PATH, L'\0');
    // Splits off ",-ID" and the quotes, as the shell reads the value.
    const int index = PathParseIconLocationW(path.data());
    std::wprintf(L"file %ls\nindex %d\n", path.data(), index);
    HICON large = nullptr;
    const UINT extracted = ExtractIconExW(path.data(), index, &large, nullptr, 1);
    std::wprintf(L"shell loads it %ls\n", extracted == 1 && large != nullptr ? L"yes" : L"no");
    if (large != nullptr) {
        DestroyIcon(large);
    }
    std::wstring sizes;
    // A negative index names the resource; the registry's values all do.
    HMODULE module =
        index < 0 ? LoadLibraryExW(path.data(), nullptr, LOAD_LIBRARY_AS_DATAFILE) : nullptr;
    if (module != nullptr) {
        sizes = IconGroupSizes(module, -index);
        FreeLibrary(module);
    }
    std::wprintf(L"sizes %ls\n", sizes.c_str());
    return extracted == 1 && !sizes.empty() ? 0 : 1;
}

// As Explorer does with a verb's command: a process of its own, not waited
// for.
int StartCommand(const std::wstring& command) {
    std::wstring commandLine = command;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        std::wprintf(L"could not start (error %lu)\n", GetLastError());
        return 1;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    std::wprintf(L"started\n");
    return 0;
}

// The class a verb's DropTarget key names, or empty.
std::wstring VerbClass(const std::wstring& verbKey) {
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    const std::wstring key = verbKey + L"\\DropTarget";
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), L"CLSID", RRF_RT_REG_SZ, nullptr, text,
                     &size) != ERROR_SUCCESS) {
        return L"";
    }
    return text;
}

// Enters and drops as a drag from Explorer would; true when the target took
// the copy offered.
bool DropOn(IDropTarget* target, const std::vector<std::wstring>& paths) {
    auto* data = new NBDriver::SelectionData(paths);
    const POINTL point{0, 0};
    DWORD entered = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    DWORD dropped = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    const bool taken = SUCCEEDED(target->DragEnter(data, MK_LBUTTON, point, &entered)) &&
                       entered == DROPEFFECT_COPY &&
                       SUCCEEDED(target->Drop(data, MK_LBUTTON, point, &dropped)) &&
                       dropped == DROPEFFECT_COPY;
    data->Release();
    return taken;
}

int RunVerb(const std::wstring& verbKey, const std::vector<std::wstring>& paths) {
    const std::wstring classText = VerbClass(verbKey);
    std::wprintf(L"class %ls\n", classText.empty() ? L"none" : classText.c_str());
    CLSID verbClass{};
    if (classText.empty() || FAILED(CLSIDFromString(classText.c_str(), &verbClass)) ||
        FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    IDropTarget* target = nullptr;
    const HRESULT created = CoCreateInstance(verbClass, nullptr, CLSCTX_LOCAL_SERVER,
                                             IID_IDropTarget, reinterpret_cast<void**>(&target));
    std::wprintf(L"created 0x%08lx\n", static_cast<unsigned long>(created));
    bool taken = false;
    if (SUCCEEDED(created)) {
        taken = DropOn(target, paths);
        target->Release();
    }
    CoUninitialize();
    std::wprintf(L"drop of %zu files %ls\n", paths.size(), taken ? L"taken" : L"refused");
    return taken ? 0 : 1;
}

int ShowOpened() {
    HWND main = NBDriver::WaitForMainWindowStartedElsewhere();
    if (main == nullptr) {
        std::wprintf(L"no main window\n");
        return 1;
    }
    NBDriver::AppDriver app(main);
    if (!app.Started()) {
        std::wprintf(L"controls found: %zu\n", app.ControlsFound());
        return 1;
    }
    // The path is put in just after the window appears.
    NBDriver::PollUntil([&] { return !app.Text(NBDriver::SourceBox).empty(); }, 10000);
    const LRESULT tab = SendMessageW(app.Get(NBDriver::ModeTabs), TCM_GETCURSEL, 0, 0);
    std::wprintf(L"tab %ld\nsource %ls\n", static_cast<long>(tab),
                 app.Text(NBDriver::SourceBox).c_str());
    const int exitCode = app.CloseWithYes();
    std::wprintf(L"closed with exit code %d\n", exitCode);
    return exitCode == 0 ? 0 : 1;
}

struct LibraryRelease {
    void operator()(HMODULE library) const { FreeLibrary(library); }
};
using OwnedLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryRelease>;

// gcry_check_version and gpgrt_check_version: given no version, they return
// their own.
using VersionCheck = const char*(__cdecl*)(const char*);

VersionCheck FindVersionCheck(HMODULE library, const std::string& function) {
    FARPROC found = GetProcAddress(library, function.c_str());
    // Through void(*)(): the one cast between function types without a warning.
    return reinterpret_cast<VersionCheck>(reinterpret_cast<void (*)()>(found));
}

// As a program in the DLL's folder would find it and what it imports, and
// nothing from elsewhere.
int ShowLibraryVersion(const std::wstring& path, const std::string& function) {
    OwnedLibrary library(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!library) {
        std::wprintf(L"not loaded, error %lu\n", GetLastError());
        return 1;
    }
    const VersionCheck check = FindVersionCheck(library.get(), function);
    const char* version = check != nullptr ? check(nullptr) : nullptr;
    if (version == nullptr) {
        std::wprintf(L"loaded, no version from %hs\n", function.c_str());
        return 1;
    }
    std::wprintf(L"version %hs\n", version);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc >= 2 ? argv[1] : L"";
    int status = 2;
    if (argc == 3 && mode == L"run") {
        status = RunProgram(argv[2]);
    } else if (argc == 3 && mode == L"shortcut") {
        status = ShowShortcut(argv[2]);
    } else if (argc == 3 && mode == L"icon") {
        status = ShowIcon(argv[2]);
    } else if (argc == 3 && mode == L"start") {
        status = StartCommand(argv[2]);
    } else if (argc >= 4 && mode == L"verb") {
        status = RunVerb(argv[2], std::vector<std::wstring>(argv + 3, argv + argc));
    } else if (argc == 2 && mode == L"opened") {
        status = ShowOpened();
    } else if (argc == 4 && mode == L"library") {
        const std::wstring function(argv[3]);
        status = ShowLibraryVersion(argv[2], std::string(function.begin(), function.end()));
    } else {
        std::fwprintf(stderr, L"usage: program_probe run PROGRAM | shortcut LNK | icon LOCATION | "
                              L"start COMMAND | verb KEY FILE... | opened | "
                              L"library DLL FUNCTION\n");
    }
    std::fflush(stdout);
    return status;
}
