#pragma once
// Bounded waits that keep the interface thread pumping, a watchdog that ends a
// test that overruns, small elements to route messages to, a pixel surface
// to paint into, and the dialog windows of this process.

#include "Form.h"
#include "GUIElement.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace NBTest {

constexpr DWORD WaitBoundMilliseconds = 5000;

// Pumps this thread's messages until done() holds or the bound passes;
// answers whether done() held.
bool PumpUntil(const std::function<bool()>& done, DWORD boundMilliseconds = WaitBoundMilliseconds);

// Pumps this thread's messages for the given time.
void PumpFor(DWORD milliseconds);

// Answers the first message box of this process with OK from a thread of its
// own, once ready() holds; gives up after the bound.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::function<bool()> ready);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Waits for the watcher to finish; true when it found and answered a box.
    bool Answered();

private:
    static DWORD WINAPI Watch(LPVOID self);
    std::function<bool()> ready_;
    HANDLE thread_ = nullptr;
    bool answered_ = false;
};

// An edit control, the simplest subclassed standard control.
class TestEdit : public NBUtility::Child {
public:
    explicit TestEdit(NBUtility::GUIElement* parentElement);
    void Create() override;
};

// A static text, which has no context menu.
class TestLabel : public NBUtility::Child {
public:
    explicit TestLabel(NBUtility::GUIElement* parentElement);
    void Create() override;
};

// A push button that raises onClick.
class TestButton : public NBUtility::Child, public NBUtility::CommandElement {
public:
    explicit TestButton(NBUtility::GUIElement* parentElement);
    void Create() override;
};

// A 32-bit top-down DIB in a memory context.
class PixelSurface {
public:
    PixelSurface(int width, int height, COLORREF fill);
    ~PixelSurface();
    PixelSurface(const PixelSurface&) = delete;
    PixelSurface& operator=(const PixelSurface&) = delete;

    HDC Context() const { return context_; }
    COLORREF At(int x, int y) const;
    void Set(int x, int y, COLORREF color);
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

// A visible form of 300 x 200 at (50, 50), created.
NBUtility::Form* NewShownForm(const wchar_t* caption = L"test");

} // namespace NBTest
