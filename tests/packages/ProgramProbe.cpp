// Looks at a packaged program as Windows would show it to a person.
//   program_probe run PROGRAM   its version resource; its main window appears
//                               with all its controls and closes cleanly
//   program_probe shortcut LNK  the shortcut's target and how many icons the
//                               target holds
// Exit code 0 when all of that was found.

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AppDriver.h"

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
        std::wprintf(L"no main window (controls found: %zu)\n", app.ControlsFound());
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

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc == 3 ? argv[1] : L"";
    int status = 2;
    if (mode == L"run") {
        status = RunProgram(argv[2]);
    } else if (mode == L"shortcut") {
        status = ShowShortcut(argv[2]);
    } else {
        std::fwprintf(stderr, L"usage: program_probe run PROGRAM | shortcut LNK\n");
    }
    std::fflush(stdout);
    return status;
}
