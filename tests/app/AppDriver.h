#pragma once
// Drives NBNimbra.exe from another process, as a person would: finds its
// windows, sets texts, clicks, reads and answers message boxes. Every wait is
// bounded; a program still running at the end is terminated.

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "MainControls.h"

namespace NBDriver {

// The main window's controls, by the names the program gives them.
using namespace MyGame::MainControls;

// The window's layout at 96 DPI: each control's rectangle in its parent's
// client area, and the client area itself.
RECT DesignRect(Control control);
constexpr SIZE designClient{640, 480};
// A design rectangle at dpi, its edges scaled as the program scales them.
RECT ScaledRect(const RECT& design, int dpi);
// The DPI of the display, as the program reads it.
int DisplayDpi();

// The strong container's cheapest cost for the jobs of this process and of
// the programs it starts, unless NB_STRONG_COST says otherwise already.
void UseTestStrongCost();

struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    std::wstring details; // a report's list, empty in a message box
};

// Polls done() until it holds or the bound passes; answers whether it held.
bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs);
bool WaitUntilGone(HWND window, DWORD timeoutMs = 10000);
// The main window of the program started by another process, once shown;
// null after timeoutMs.
HWND WaitForMainWindowStartedElsewhere(DWORD timeoutMs = 30000);

class AppDriver {
public:
    // Starts the program at programPath (this build's by default) with these
    // arguments, each quoted.
    explicit AppDriver(const std::wstring& programPath = NB_APP_PATH,
                       const std::vector<std::wstring>& arguments = {});
    explicit AppDriver(const std::vector<std::wstring>& arguments)
        : AppDriver(NB_APP_PATH, arguments) {}
    // Drives a main window already shown. One of this very process is left
    // alone; one of another (started by Explorer, say) is ended at the end if
    // still running.
    explicit AppDriver(HWND shownMain);
    ~AppDriver();
    AppDriver(const AppDriver&) = delete;
    AppDriver& operator=(const AppDriver&) = delete;

    bool Started() const {
        return mainWindow != nullptr && ControlsFound() == static_cast<std::size_t>(ControlCount);
    }
    HWND Main() const { return mainWindow; }
    // Why Started() is false: how the start went wrong, or empty.
    const std::string& StartProblem() const { return startProblem; }
    HANDLE Process() const { return process.hProcess; } // not owned
    std::size_t ControlsFound() const {
        return static_cast<std::size_t>(std::count_if(
            controls.begin(), controls.end(), [](HWND control) { return control != nullptr; }));
    }
    HWND Get(Control control) const { return controls[control]; }

    std::wstring Text(Control control) const;
    // A label's or button's caption as the user reads it: without the '&'
    // that marks its access key.
    std::wstring Caption(Control control) const;
    void SetText(Control control, const std::wstring& text);
    void Click(Control control);
    bool IsChecked(Control control) const;
    bool IsVisible(Control control) const { return IsWindowVisible(Get(control)) != FALSE; }
    bool IsEnabled(Control control) const { return IsWindowEnabled(Get(control)) != FALSE; }
    int Progress() const;
    // Where the control is, in its parent's client area.
    RECT RectInParent(Control control) const;
    SIZE ClientSize() const;
    // The command id of a menu item, or 0 when there is none.
    int MenuItemId(MenuItem item) const;
    void SelectTab(int index);
    HWND FocusedWindow() const;
    // Alt+letter as the keyboard sends it, to the focused control (the main
    // window when none has the focus): the program's own message loop turns
    // the letter's key into its character. A character typed with Shift ('?')
    // comes as its character.
    void PressAltWith(wchar_t letter);
    wchar_t PasswordCharacter(Control control) const;
    void TypeCharacters(Control control, const std::wstring& characters);

    // The next message box of the program (a #32770 window), or an empty one
    // after timeoutMs.
    MessageBoxSeen WaitForMessageBox(DWORD timeoutMs = 20000);
    // Presses a button of a message box (IDOK, IDYES, IDNO).
    void Answer(const MessageBoxSeen& box, int buttonId);
    // Waits until the START button reads caption again.
    bool WaitForCaption(Control control, const std::wstring& caption, DWORD timeoutMs = 30000);

    // A top-level window of the program with this caption, or null.
    HWND FindTopLevel(const std::wstring& caption, DWORD timeoutMs = 10000) const;

    // Encrypts a sparse file big enough that a job takes seconds, so that a
    // test can act while it runs: fills the boxes for folder's big.bin and
    // big.nbnx and presses START. False when the file could not be made.
    bool StartLongEncryption(const std::wstring& folder);

    // Asks to close, answers the confirmation with Yes and waits for the
    // exit; the program's exit code, or -1 when it did not end.
    int CloseWithYes();
    // The program's exit code once it has ended, or -1 after timeoutMs.
    int WaitForExit(DWORD timeoutMs = 15000);

private:
    bool Launch(const std::wstring& programPath, const std::vector<std::wstring>& arguments);
    bool StartProcess(std::wstring commandLine);
    HWND WaitForMainWindowOrExit(DWORD timeoutMs);
    bool EndedBeforeItsWindow() const;
    void EndProcess();
    void FindControls();

    PROCESS_INFORMATION process{};
    HWND mainWindow = nullptr;
    std::string startProblem;
    std::vector<HWND> controls = std::vector<HWND>(ControlCount, nullptr);
};

// A folder of the test's own, removed afterwards, as a Windows path.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::wstring& Path() const { return path; }
    std::wstring File(const std::wstring& name) const { return path + L"\\" + name; }

private:
    std::wstring path;
};

// A caption without its access key's mark; "&&" reads as '&'.
std::wstring WithoutAccessKey(const std::wstring& caption);
// The lower-case letter a caption's '&' marks, or 0.
wchar_t AccessKeyOf(const std::wstring& caption);

// Writes the whole screen as a 24-bit BMP file.
bool CaptureScreen(const std::wstring& bmpPath);

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileThere(const std::wstring& path);
// The names in a folder, without "." and "..".
std::vector<std::wstring> FolderNames(const std::wstring& folder);
// The names in a folder that begin with prefix.
std::vector<std::wstring> NamesStartingWith(const std::wstring& folder, const std::wstring& prefix);
// Whether bytes begin with the strong container's signature (version 2), as
// the format fixes it for good.
bool HasStrongSignature(const std::string& bytes);
// A file of size zero bytes that takes no room where the disk allows it.
bool MakeSparseFile(const std::wstring& path, long long size);

} // namespace NBDriver
