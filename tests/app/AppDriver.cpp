#include "AppDriver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>

namespace NBDriver {

namespace {

constexpr DWORD sendTimeoutMs = 5000;
constexpr DWORD pollMs = 20;
const wchar_t mainCaptionStart[] = L"NB Nimbra Vexal Edition";

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 63);
    return name;
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, sendTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

constexpr DWORD anyProcess = 0;

std::wstring CaptionOf(HWND window) {
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 255);
    return caption;
}

std::wstring WindowText(HWND window) {
    const LRESULT length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

// Message boxes carry the program's caption too.
bool IsMainWindow(HWND window) {
    return ClassOf(window) != L"#32770" && CaptionOf(window).rfind(mainCaptionStart, 0) == 0;
}

struct TopLevelSearch {
    DWORD pid;
    const std::function<bool(HWND)>& is;
    HWND found;
};

// The last visible top-level window of process pid (or of any) that is;
// null once timeoutMs has passed without one.
HWND WaitForTopLevel(DWORD pid, const std::function<bool(HWND)>& is, DWORD timeoutMs) {
    TopLevelSearch search{pid, is, nullptr};
    PollUntil(
        [&] {
            EnumWindows(
                [](HWND window, LPARAM context) -> BOOL {
                    auto* s = reinterpret_cast<TopLevelSearch*>(context);
                    if ((s->pid == anyProcess || ProcessOf(window) == s->pid) &&
                        IsWindowVisible(window) && s->is(window)) {
                        s->found = window;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

} // namespace

bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD deadline = GetTickCount() + timeoutMs;
    while (!done()) {
        if (GetTickCount() >= deadline) {
            return false;
        }
        Sleep(pollMs);
    }
    return true;
}

RECT DesignRect(Control control) {
    static const RECT rects[ControlCount] = {
        {28, 26, 228, 76},    // LogoImage
        {392, 26, 492, 66},   // InfoButton
        {512, 26, 612, 66},   // CloseButton
        {272, 26, 372, 66},   // StartButton
        {20, 106, 620, 460},  // ModeTabs
        {20, 50, 170, 75},    // SourceLabel
        {20, 75, 470, 100},   // SourceBox
        {480, 75, 580, 100},  // SourceSelectButton
        {20, 105, 270, 127},  // SameFolderOption
        {20, 130, 190, 152},  // SpecifyPathOption
        {20, 130, 170, 155},  // DestLabel
        {20, 155, 470, 180},  // DestBox
        {480, 155, 580, 180}, // DestSelectButton
        {20, 185, 270, 210},  // VerifyCheck
        {290, 185, 540, 210}, // StrongCheck
        {20, 215, 170, 240},  // PasswordLabel
        {20, 240, 170, 265},  // PasswordBox
        {180, 240, 280, 265}, // ShowButton
        {290, 215, 440, 240}, // ConfirmLabel
        {290, 240, 440, 265}, // ConfirmBox
        {20, 280, 170, 305},  // StatusLabel
        {20, 305, 580, 330},  // ProgressBar
    };
    return rects[control];
}

RECT ScaledRect(const RECT& design, int dpi) {
    return {MulDiv(design.left, dpi, 96), MulDiv(design.top, dpi, 96),
            MulDiv(design.right, dpi, 96), MulDiv(design.bottom, dpi, 96)};
}

int DisplayDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

bool WaitUntilGone(HWND window, DWORD timeoutMs) {
    return PollUntil([window] { return IsWindow(window) == FALSE; }, timeoutMs);
}

HWND WaitForMainWindowStartedElsewhere(DWORD timeoutMs) {
    return WaitForTopLevel(
        anyProcess,
        [](HWND window) {
            return ProcessOf(window) != GetCurrentProcessId() && IsMainWindow(window);
        },
        timeoutMs);
}

AppDriver::AppDriver(const std::wstring& programPath, const std::vector<std::wstring>& arguments) {
    if (Launch(programPath, arguments)) {
        FindControls();
    }
}

AppDriver::AppDriver(HWND shownMain) : mainWindow(shownMain) {
    process.dwThreadId = GetWindowThreadProcessId(shownMain, &process.dwProcessId);
    if (process.dwProcessId != GetCurrentProcessId()) {
        process.hProcess =
            OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                        process.dwProcessId);
    }
    FindControls();
}

AppDriver::~AppDriver() {
    EndProcess();
}

void AppDriver::EndProcess() {
    if (process.hProcess != nullptr) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, 5000);
        }
        if (process.hThread != nullptr) {
            CloseHandle(process.hThread);
        }
        CloseHandle(process.hProcess);
    }
    process = PROCESS_INFORMATION{};
}

void UseTestStrongCost() {
    if (std::getenv("NB_STRONG_COST") == nullptr) {
        _putenv("NB_STRONG_COST=8192,1,1");                      // this process's runtime
        SetEnvironmentVariableW(L"NB_STRONG_COST", L"8192,1,1"); // the programs it starts
    }
}

bool AppDriver::Launch(const std::wstring& programPath,
                       const std::vector<std::wstring>& arguments) {
    // Another program's rectangles in real pixels, whatever the DPI.
    SetProcessDPIAware();
    UseTestStrongCost(); // inherited by the program

    std::wstring commandLine = L"\"" + programPath + L"\"";
    for (const std::wstring& argument : arguments) {
        commandLine += L" \"" + argument + L"\"";
    }
    // Wine now and then loses a process in its own start-up. One that ended
    // before its window is said so and started once more; a second loss, or
    // a window that never comes, is the test's failure.
    for (int attempt = 1; attempt <= 2; ++attempt) {
        if (!StartProcess(commandLine)) {
            return false;
        }
        mainWindow = WaitForMainWindowOrExit(30000);
        if (mainWindow != nullptr || !EndedBeforeItsWindow() || attempt == 2) {
            break;
        }
        std::fprintf(stderr, "app-driver: %s; starting it once more\n", startProblem.c_str());
        EndProcess();
    }
    return mainWindow != nullptr;
}

bool AppDriver::StartProcess(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        startProblem = "the program could not be started, error " + std::to_string(GetLastError());
        process = PROCESS_INFORMATION{};
        return false;
    }
    return true;
}

HWND AppDriver::WaitForMainWindowOrExit(DWORD timeoutMs) {
    HWND found = nullptr;
    const bool settled = PollUntil(
        [&] {
            found = WaitForTopLevel(process.dwProcessId, IsMainWindow, 0);
            return found != nullptr || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
        },
        timeoutMs);
    if (found == nullptr) {
        DWORD status = 0;
        GetExitCodeProcess(process.hProcess, &status);
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(status));
        startProblem =
            settled ? std::string("the program ended with status ") + hex +
                          " before its window appeared"
                    : "the program showed no window in " + std::to_string(timeoutMs / 1000) + " s";
    }
    return found;
}

bool AppDriver::EndedBeforeItsWindow() const {
    return mainWindow == nullptr && process.hProcess != nullptr &&
           WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
}

void AppDriver::FindControls() {
    std::vector<HWND> named(ControlCount, nullptr);
    EnumChildWindows(
        mainWindow,
        [](HWND window, LPARAM context) -> BOOL {
            const auto name = reinterpret_cast<INT_PTR>(GetPropW(window, controlProperty));
            auto& found = *reinterpret_cast<std::vector<HWND>*>(context);
            if (name >= 1 && name <= ControlCount) {
                found[name - 1] = window;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&named));
    controls = named;
}

std::wstring AppDriver::Text(Control control) const {
    return WindowText(Get(control));
}

std::wstring AppDriver::Caption(Control control) const {
    return WithoutAccessKey(Text(control));
}

void AppDriver::SetText(Control control, const std::wstring& text) {
    SendWithTimeout(Get(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void AppDriver::Click(Control control) {
    PostMessageW(Get(control), BM_CLICK, 0, 0);
}

bool AppDriver::IsChecked(Control control) const {
    return SendWithTimeout(Get(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int AppDriver::Progress() const {
    return static_cast<int>(SendWithTimeout(Get(ProgressBar), PBM_GETPOS, 0, 0));
}

void AppDriver::SelectTab(int index) {
    SendWithTimeout(Get(ModeTabs), TCM_SETCURFOCUS, index, 0);
}

RECT AppDriver::RectInParent(Control control) const {
    RECT rect{};
    GetWindowRect(Get(control), &rect);
    MapWindowPoints(nullptr, GetParent(Get(control)), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int AppDriver::MenuItemId(MenuItem item) const {
    return static_cast<int>(
        reinterpret_cast<UINT_PTR>(GetPropW(mainWindow, menuItemProperties[item])));
}

SIZE AppDriver::ClientSize() const {
    RECT client{};
    GetClientRect(mainWindow, &client);
    return {client.right, client.bottom};
}

HWND AppDriver::FocusedWindow() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(process.dwThreadId, &info);
    return info.hwndFocus;
}

// Alt goes down alone, then the letter's key with Alt held (lParam bit 29),
// then both come up: the Alt key's own release is a plain key-up.
void AppDriver::PressAltWith(wchar_t letter) {
    HWND target = FocusedWindow();
    if (target == nullptr) {
        target = mainWindow;
    }
    const SHORT keyAndShift = VkKeyScanW(letter);
    const UINT letterKey = LOBYTE(keyAndShift);
    const auto keyData = [](UINT key, LPARAM flags) {
        return static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16 | flags | 1;
    };
    constexpr LPARAM altHeld = 1 << 29;
    constexpr LPARAM released = 3u << 30;
    PostMessageW(target, WM_SYSKEYDOWN, VK_MENU, keyData(VK_MENU, altHeld));
    // Shift cannot be posted: a shifted character comes as its character.
    if (HIBYTE(keyAndShift) != 0) {
        PostMessageW(target, WM_SYSCHAR, letter, keyData(letterKey, altHeld));
    } else {
        PostMessageW(target, WM_SYSKEYDOWN, letterKey, keyData(letterKey, altHeld));
        PostMessageW(target, WM_SYSKEYUP, letterKey, keyData(letterKey, altHeld | released));
    }
    PostMessageW(target, WM_KEYUP, VK_MENU, keyData(VK_MENU, released));
}

wchar_t AppDriver::PasswordCharacter(Control control) const {
    return static_cast<wchar_t>(SendWithTimeout(Get(control), EM_GETPASSWORDCHAR, 0, 0));
}

void AppDriver::TypeCharacters(Control control, const std::wstring& characters) {
    for (wchar_t c : characters) {
        PostMessageW(Get(control), WM_CHAR, c, 1);
    }
}

MessageBoxSeen AppDriver::WaitForMessageBox(DWORD timeoutMs) {
    const HWND box = WaitForTopLevel(
        process.dwProcessId, [](HWND window) { return ClassOf(window) == L"#32770"; }, timeoutMs);
    if (box == nullptr) {
        return {};
    }
    const HWND textControl = GetDlgItem(box, 0xFFFF);
    const HWND list = FindWindowExW(box, nullptr, L"Edit", nullptr);
    return {box, CaptionOf(box), textControl != nullptr ? WindowText(textControl) : L"",
            list != nullptr ? WindowText(list) : L""};
}

void AppDriver::Answer(const MessageBoxSeen& box, int buttonId) {
    if (box.window == nullptr) {
        return;
    }
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.window, buttonId)));
    WaitUntilGone(box.window);
}

bool AppDriver::WaitForCaption(Control control, const std::wstring& caption, DWORD timeoutMs) {
    return PollUntil([&] { return Caption(control) == caption; }, timeoutMs);
}

HWND AppDriver::FindTopLevel(const std::wstring& caption, DWORD timeoutMs) const {
    return WaitForTopLevel(
        process.dwProcessId, [&](HWND window) { return CaptionOf(window) == caption; }, timeoutMs);
}

bool AppDriver::StartLongEncryption(const std::wstring& folder) {
    constexpr long long longEnoughToCatch = 1200LL << 20;
    const std::wstring source = folder + L"\\big.bin";
    if (!MakeSparseFile(source, longEnoughToCatch)) {
        return false;
    }
    SetText(SourceBox, source);
    SetText(DestBox, folder + L"\\big.nbnx");
    SetText(PasswordBox, L"correct horse");
    SetText(ConfirmBox, L"correct horse");
    Click(StartButton);
    return true;
}

int AppDriver::CloseWithYes() {
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    const MessageBoxSeen box = WaitForMessageBox();
    if (box.caption != L"Uscita") {
        return -1;
    }
    Answer(box, IDYES);
    return WaitForExit();
}

int AppDriver::WaitForExit(DWORD timeoutMs) {
    if (process.hProcess == nullptr ||
        WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}

ScratchFolder::ScratchFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    path = std::wstring(temp) + L"nbnimbra-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
    CreateDirectoryW(path.c_str(), nullptr);
}

namespace {
// Everything below folder, then the folder; the long form reaches any depth.
void RemoveTree(const std::wstring& folder) {
    for (const std::wstring& name : FolderNames(L"\\\\?\\" + folder)) {
        const std::wstring inside = L"\\\\?\\" + folder + L"\\" + name;
        if ((GetFileAttributesW(inside.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            RemoveTree(folder + L"\\" + name);
        } else {
            DeleteFileW(inside.c_str());
        }
    }
    RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
}
} // namespace

ScratchFolder::~ScratchFolder() {
    RemoveTree(path);
}

bool CaptureScreen(const std::wstring& bmpPath) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h; // bottom-up, as BMP files store it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bool written = false;
    if (bitmap != nullptr) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
        GdiFlush();
        const DWORD rowBytes = ((static_cast<DWORD>(w) * 3 + 3) / 4) * 4;
        const DWORD imageBytes = rowBytes * static_cast<DWORD>(h);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42; // "BM"
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageBytes;
        std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
        bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        bytes.append(static_cast<const char*>(pixels), imageBytes);
        WriteFileBytes(bmpPath, bytes);
        written = FileThere(bmpPath);
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool HasStrongSignature(const std::string& bytes) {
    static const std::string signature("NBNimbraFile Vexal Edition sealed header v2", 44);
    return bytes.compare(0, signature.size(), signature) == 0;
}

bool MakeSparseFile(const std::wstring& path, long long size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER end;
    end.QuadPart = size;
    const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return sized;
}

std::vector<std::wstring> FolderNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

std::vector<std::wstring> NamesStartingWith(const std::wstring& folder,
                                            const std::wstring& prefix) {
    std::vector<std::wstring> names = FolderNames(folder);
    names.erase(
        std::remove_if(names.begin(), names.end(),
                       [&](const std::wstring& name) { return name.rfind(prefix, 0) != 0; }),
        names.end());
    return names;
}

std::wstring WithoutAccessKey(const std::wstring& caption) {
    std::wstring read;
    for (std::size_t at = 0; at < caption.size(); ++at) {
        if (caption[at] == L'&' && at + 1 < caption.size()) {
            ++at;
        }
        read += caption[at];
    }
    return read;
}

wchar_t AccessKeyOf(const std::wstring& caption) {
    for (std::size_t at = 0; at + 1 < caption.size(); ++at) {
        if (caption[at] == L'&') {
            if (caption[at + 1] != L'&') {
                return static_cast<wchar_t>(towlower(caption[at + 1]));
            }
            ++at;
        }
    }
    return 0;
}

bool FileThere(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace NBDriver
