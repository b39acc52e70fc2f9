#pragma once
// Bounded waits, a watchdog that ends a test that overruns, and the small
// elements the window suites build on.

#include "Form.h"
#include "GUIElement.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace NBTest {

constexpr DWORD WaitBoundMilliseconds = 5000;
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);

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

// What a window's client area shows now, read back from its window context
// into a memory bitmap.
class WindowPicture {
public:
    explicit WindowPicture(HWND window);
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const;
    // How many pixels of the area (clipped to the picture) have the colour.
    int Count(const RECT& area, COLORREF color) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_; // top row first, 0x00RRGGBB
};

// A visible form of 300 x 200 at (50, 50), created.
NBUtility::Form* NewShownForm(const wchar_t* caption = L"test");

} // namespace NBTest
