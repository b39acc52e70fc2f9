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

void Place(NBUtility::GUIElement& element, NBUtility::GUIElement* parent, const char* typeName,
           const wchar_t* text, int x, int y, int width, int height) {
    element.typeName = typeName;
    element.text = text;
    element.parent = parent;
    element.x = x;
    element.y = y;
    element.width = width;
    element.height = height;
}

std::uint32_t PixelOf(COLORREF color) {
    return (static_cast<std::uint32_t>(GetRValue(color)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

HBITMAP FilledDib(int width, int height, COLORREF fill, COLORREF leftHalf,
                  std::uint32_t** pixelsOut) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int i = 0; pixels != nullptr && i < width * height; ++i) {
        const bool left = leftHalf != CLR_INVALID && i % width < width / 2;
        pixels[i] = PixelOf(left ? leftHalf : fill);
    }
    if (pixelsOut != nullptr) {
        *pixelsOut = pixels;
    }
    return bitmap;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM list) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        std::wstring(className) == L"#32770") {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

// Ends the process when one test runs longer than its bound, so a hang is a
// failure CTest sees instead of a stuck run.
class Watchdog : public testing::EmptyTestEventListener {
public:
    static constexpr DWORD BoundMilliseconds = 60000;

    void OnTestStart(const testing::TestInfo& info) override {
        name_ = std::string(info.test_suite_name()) + "." + info.name();
        const unsigned armed = ++generation_;
        std::thread([this, armed] {
            Sleep(BoundMilliseconds);
            if (generation_ == armed) {
                std::fprintf(stderr, "watchdog: %s ran longer than %lu ms\n", name_.c_str(),
                             static_cast<unsigned long>(BoundMilliseconds));
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

struct WatchdogInstaller {
    WatchdogInstaller() { testing::UnitTest::GetInstance()->listeners().Append(new Watchdog); }
} installWatchdog;

} // namespace

TestEdit::TestEdit(NBUtility::GUIElement* parentElement) {
    Place(*this, parentElement, "textbox", L"", 10, 10, 120, 24);
}

TestLabel::TestLabel(NBUtility::GUIElement* parentElement) {
    Place(*this, parentElement, "label", L"label", 10, 90, 100, 20);
}

TestButton::TestButton(NBUtility::GUIElement* parentElement) {
    Place(*this, parentElement, "button", L"Press", 10, 50, 80, 24);
}

NBUtility::Form* NewShownForm(const wchar_t* caption) {
    auto* form = new NBUtility::Form(GetModuleHandleW(nullptr));
    form->text = caption;
    form->x = 50;
    form->y = 50;
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
    GdiFlush();
    const std::uint32_t p = pixels_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

std::vector<int> PixelSurface::ColumnsWith(COLORREF color, const RECT& area) const {
    std::vector<int> columns;
    for (int x = area.left; x < area.right; ++x) {
        if (CountIn(color, {x, area.top, x + 1, area.bottom}) > 0) {
            columns.push_back(x);
        }
    }
    return columns;
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
    return FilledDib(width, height, color, leftHalf, nullptr);
}

COLORREF ScreenPixel(HWND window, int x, int y) {
    HDC context = GetDC(window);
    const COLORREF color = GetPixel(context, x, y);
    ReleaseDC(window, context);
    return color;
}

DWORD StyleOf(HWND window, bool extended) {
    return static_cast<DWORD>(GetWindowLongPtrW(window, extended ? GWL_EXSTYLE : GWL_STYLE));
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                             WaitBoundMilliseconds, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, WaitBoundMilliseconds, &copied);
    text.resize(copied);
    return text;
}

std::vector<HWND> DialogWindows() {
    std::vector<HWND> dialogs;
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
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
                  if (caption.empty() || TextOf(candidate) == caption) {
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
