#pragma once
// What the control suites share: style bits of live windows and a watcher
// thread that answers modal windows.

#include "WindowTestSupport.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace NBTest {

DWORD StyleOf(HWND window);
DWORD ExtendedStyleOf(HWND window);
bool HasBits(DWORD value, DWORD bits);

// Window text read with WM_GETTEXT, which also works for another thread's
// controls and password boxes.
std::wstring TextOf(HWND window);

// Runs action on its own thread with the first dialog window of this process
// (whose caption matches, when one is given) once it appears; gives up after
// the bound. The destructor waits for the thread.
class DialogWatcher {
public:
    DialogWatcher(std::function<void(HWND dialog)> action, std::wstring caption = {},
                  DWORD boundMilliseconds = WaitBoundMilliseconds);
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    // Waits for the thread (bounded); answers whether a dialog was found.
    bool Finish();

private:
    std::atomic<bool> found_{false};
    std::thread thread_;
};

// Waits (bounded) for the child control with this id to exist in the dialog.
HWND WaitForControl(HWND dialog, int controlId, DWORD boundMilliseconds = WaitBoundMilliseconds);

// Presses a dialog button the way a click would, without real input.
void PressDialogButton(HWND dialog, int buttonId);

} // namespace NBTest
