#pragma once
// What the control suites share: style bits of live windows, a pixel surface
// to paint into, and a watcher thread that answers modal windows.

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

// A 32-bit top-down DIB in a memory context.
class PixelSurface {
public:
    PixelSurface(int width, int height, COLORREF fill);
    ~PixelSurface();
    PixelSurface(const PixelSurface&) = delete;
    PixelSurface& operator=(const PixelSurface&) = delete;

    HDC Context() const { return context_; }
    COLORREF At(int x, int y) const;
    // Columns of the area holding at least one pixel of the colour.
    std::vector<int> ColumnsWith(COLORREF color, const RECT& area) const;
    int CountIn(COLORREF color, const RECT& area) const;
    int CountOf(COLORREF color) const { return CountIn(color, {0, 0, width_, height_}); }
    // The area inside a one-pixel frame.
    RECT Inside() const { return {1, 1, width_ - 1, height_ - 1}; }

private:
    HDC context_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
    int width_;
    int height_;
};

// A bitmap of one colour (a DIB section), owned by the caller.
HBITMAP SolidBitmap(int width, int height, COLORREF color);

// Top-level dialog windows (#32770) of this process, visible.
std::vector<HWND> DialogWindows();

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
