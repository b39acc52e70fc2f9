#include "ControlTestSupport.h"

namespace NBTest {

DWORD StyleOf(HWND window) {
    return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
}

DWORD ExtendedStyleOf(HWND window) {
    return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
}

bool HasBits(DWORD value, DWORD bits) {
    return (value & bits) == bits;
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

namespace {

// A 32-bit top-down DIB section filled with one colour.
HBITMAP FilledDib(int width, int height, COLORREF fill, std::uint32_t** pixelsOut) {
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
    const std::uint32_t pixel = (static_cast<std::uint32_t>(GetRValue(fill)) << 16) |
                                (static_cast<std::uint32_t>(GetGValue(fill)) << 8) |
                                GetBValue(fill);
    for (int i = 0; pixels != nullptr && i < width * height; ++i) {
        pixels[i] = pixel;
    }
    if (pixelsOut != nullptr) {
        *pixelsOut = pixels;
    }
    return bitmap;
}

} // namespace

PixelSurface::PixelSurface(int width, int height, COLORREF fill) : width_(width), height_(height) {
    context_ = CreateCompatibleDC(nullptr);
    bitmap_ = FilledDib(width, height, fill, &pixels_);
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
        for (int y = area.top; y < area.bottom; ++y) {
            if (At(x, y) == color) {
                columns.push_back(x);
                break;
            }
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

HBITMAP SolidBitmap(int width, int height, COLORREF color) {
    return FilledDib(width, height, color, nullptr);
}

namespace {

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

HWND FindDialog(const std::wstring& caption) {
    for (HWND dialog : DialogWindows()) {
        if (caption.empty() || TextOf(dialog) == caption) {
            return dialog;
        }
    }
    return nullptr;
}

} // namespace

std::vector<HWND> DialogWindows() {
    std::vector<HWND> dialogs;
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

DialogWatcher::DialogWatcher(std::function<void(HWND dialog)> action, std::wstring caption,
                             DWORD boundMilliseconds)
    : thread_([this, action, caption, boundMilliseconds] {
          const ULONGLONG deadline = GetTickCount64() + boundMilliseconds;
          while (GetTickCount64() < deadline) {
              if (HWND dialog = FindDialog(caption); dialog != nullptr) {
                  found_ = true;
                  action(dialog);
                  return;
              }
              Sleep(20);
          }
      }) {}

DialogWatcher::~DialogWatcher() {
    Finish();
}

bool DialogWatcher::Finish() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return found_;
}

HWND WaitForControl(HWND dialog, int controlId, DWORD boundMilliseconds) {
    const ULONGLONG deadline = GetTickCount64() + boundMilliseconds;
    for (;;) {
        if (HWND control = GetDlgItem(dialog, controlId); control != nullptr) {
            return control;
        }
        if (GetTickCount64() >= deadline) {
            return nullptr;
        }
        Sleep(20);
    }
}

void PressDialogButton(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

} // namespace NBTest
