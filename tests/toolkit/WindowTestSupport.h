#pragma once
// Bounded waits, a watchdog that ends a test that overruns, small elements to
// route messages to, a pixel surface to paint into, and a watcher that answers
// this process's modal windows.

#include "Form.h"
#include "GUIElement.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace NBTest {

constexpr DWORD WaitBoundMilliseconds = 5000;

// Pumps this thread's messages until done() holds or the bound passes;
// answers whether done() held.
bool PumpUntil(const std::function<bool()>& done, DWORD boundMilliseconds = WaitBoundMilliseconds);
void PumpFor(DWORD milliseconds);
// The same without pumping, for threads that own no windows.
bool WaitUntil(const std::function<bool()>& done, DWORD boundMilliseconds = WaitBoundMilliseconds);

// An edit control, the simplest subclassed standard control.
class TestEdit : public NBUtility::Child {
public:
    explicit TestEdit(NBUtility::GUIElement* parentElement);
    void Create() override { CreateControl(L"edit", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, true); }
};

// A push button that raises onClick.
class TestButton : public NBUtility::Child, public NBUtility::CommandElement {
public:
    explicit TestButton(NBUtility::GUIElement* parentElement);
    void Create() override { CreateControl(L"Button", BS_PUSHBUTTON, 0, true); }
};

// A visible form of 300 x 200 at (50, 50), created.
NBUtility::Form* NewShownForm(const wchar_t* caption = L"test");

// A 32-bit top-down DIB selected into a memory context.
class PixelSurface {
public:
    PixelSurface(int width, int height, COLORREF fill);
    ~PixelSurface();
    PixelSurface(const PixelSurface&) = delete;
    PixelSurface& operator=(const PixelSurface&) = delete;

    HDC Context() const { return context_; }
    COLORREF At(int x, int y) const;
    int CountIn(COLORREF color, const RECT& area) const;
    RECT All() const { return {0, 0, width_, height_}; }

private:
    HDC context_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
    int width_;
    int height_;
};

// A DIB section of one colour, its left half optionally of another; the
// caller owns it.
HBITMAP SolidBitmap(int width, int height, COLORREF color, COLORREF leftHalf = CLR_INVALID);

// A pixel of the window as painted on screen.
COLORREF ScreenPixel(HWND window, int x, int y);

// WM_GETTEXT, which also reads another thread's controls.
std::wstring TextOf(HWND window);

// Waits (bounded) for the child control with this id to exist in the dialog.
HWND WaitForControl(HWND dialog, int controlId);
// Presses a dialog button the way a click would, without real input.
void PressDialogButton(HWND dialog, int buttonId);

// Runs action on its own thread with the first dialog window of this process
// whose caption matches once it appears; gives up after the bound.
class DialogWatcher {
public:
    DialogWatcher(std::function<void(HWND dialog)> action, std::wstring caption);
    ~DialogWatcher() { Finish(); }
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    // Waits for the thread; answers whether a dialog was found.
    bool Finish();

private:
    std::atomic<bool> found_{false};
    std::thread thread_;
};

} // namespace NBTest
