#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace NBTest {

bool PumpUntil(const std::function<bool()>& done, DWORD boundMilliseconds) {
    const ULONGLONG deadline = GetTickCount64() + boundMilliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 20)),
                                  QS_ALLINPUT);
    }
}

void PumpFor(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

bool WaitUntil(const std::function<bool()>& done, DWORD boundMilliseconds) {
    const ULONGLONG deadline = GetTickCount64() + boundMilliseconds;
    while (!done()) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

namespace {

HBITMAP FilledDib(int width, int height, COLORREF fill, COLORREF leftHalf,
                  std::uint32_t** pixelsOut = nullptr) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int i = 0; pixels != nullptr && i < width * height; ++i) {
        const COLORREF c = leftHalf != CLR_INVALID && i % width < width / 2 ? leftHalf : fill;
        pixels[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    if (pixelsOut != nullptr) {
        *pixelsOut = pixels;
    }
    return bitmap;
}

// Ends the process when one test runs longer than its bound, so a hang is a
// failure CTest sees instead of a stuck run.
class Watchdog : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo& info) override {
        name_ = std::string(info.test_suite_name()) + "." + info.name();
        const unsigned armed = ++generation_;
        std::thread([this, armed] {
            Sleep(60000);
            if (generation_ == armed) {
                std::fprintf(stderr, "watchdog: %s ran longer than 60 s\n", name_.c_str());
                std::fflush(stderr);
                TerminateProcess(GetCurrentProcess(), 3);
            }
        }).detach();
    }
    void OnTestEnd(const testing::TestInfo&) override { ++generation_; }

private:
    std::atomic<unsigned> generation_{0};
    std::string name_;
};

const bool watchdogInstalled =
    (testing::UnitTest::GetInstance()->listeners().Append(new Watchdog), true);

// Top-level dialog windows (#32770) of this process, visible.
std::vector<HWND> DialogWindows() {
    std::vector<HWND> dialogs;
    EnumWindows(
        [](HWND window, LPARAM list) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            wchar_t className[32] = {};
            GetClassNameW(window, className, 32);
            if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
                std::wstring(className) == L"#32770") {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

} // namespace

TestEdit::TestEdit(NBUtility::GUIElement* parentElement) {
    typeName = "textbox";
    parent = parentElement;
    x = y = 10;
    width = 120;
    height = 24;
}

TestButton::TestButton(NBUtility::GUIElement* parentElement) {
    typeName = "button";
    text = L"Press";
    parent = parentElement;
    x = 10;
    y = 50;
    width = 80;
    height = 24;
}

NBUtility::Form* NewShownForm(const wchar_t* caption) {
    auto* form = new NBUtility::Form(GetModuleHandleW(nullptr));
    form->text = caption;
    form->x = form->y = 50;
    form->width = 300;
    form->height = 200;
    form->topMost = false;
    form->Create();
    return form;
}

PixelSurface::PixelSurface(int width, int height, COLORREF fill) : width_(width), height_(height) {
    context_ = CreateCompatibleDC(nullptr);
    bitmap_ = FilledDib(width, height, fill, CLR_INVALID, &pixels_);
    previous_ = SelectObject(context_, bitmap_);
}

PixelSurface::~PixelSurface() {
    SelectObject(context_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(context_);
}

COLORREF PixelSurface::At(int x, int y) const {
    GdiFlush(); // device pixels, whatever a painter left in the context
    const std::uint32_t p = pixels_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int PixelSurface::CountIn(COLORREF color, const RECT& area) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            count += At(x, y) == color ? 1 : 0;
        }
    }
    return count;
}

HBITMAP SolidBitmap(int width, int height, COLORREF color, COLORREF leftHalf) {
    return FilledDib(width, height, color, leftHalf);
}

COLORREF ScreenPixel(HWND window, int x, int y) {
    HDC context = GetDC(window);
    const COLORREF color = GetPixel(context, x, y);
    ReleaseDC(window, context);
    return color;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        WaitBoundMilliseconds, &copied);
    return std::wstring(text, copied);
}

HWND WaitForControl(HWND dialog, int controlId) {
    HWND control = nullptr;
    WaitUntil([&] { return (control = GetDlgItem(dialog, controlId)) != nullptr; });
    return control;
}

void PressDialogButton(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

DialogWatcher::DialogWatcher(std::function<void(HWND dialog)> action, std::wstring caption)
    : thread_([this, action, caption] {
          HWND dialog = nullptr;
          found_ = WaitUntil([&] {
              for (HWND candidate : DialogWindows()) {
                  if (TextOf(candidate) == caption) {
                      dialog = candidate;
                      return true;
                  }
              }
              return false;
          });
          if (found_) {
              action(dialog);
          }
      }) {}

bool DialogWatcher::Finish() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return found_;
}

} // namespace NBTest
