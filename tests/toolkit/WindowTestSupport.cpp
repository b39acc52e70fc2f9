#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <utility>

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

} // namespace

MessageBoxAnswerer::MessageBoxAnswerer(std::function<bool()> ready) : ready_(std::move(ready)) {
    thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    Answered();
}

bool MessageBoxAnswerer::Answered() {
    if (thread_ != nullptr) {
        WaitForSingleObject(thread_, WaitBoundMilliseconds * 2);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    return answered_;
}

DWORD WINAPI MessageBoxAnswerer::Watch(LPVOID self) {
    auto* answerer = static_cast<MessageBoxAnswerer*>(self);
    const ULONGLONG deadline = GetTickCount64() + WaitBoundMilliseconds;
    HWND box = nullptr;
    while (GetTickCount64() < deadline) {
        const std::vector<HWND> dialogs = DialogWindows();
        box = dialogs.empty() ? nullptr : dialogs.front();
        if (box != nullptr && answerer->ready_()) {
            answerer->answered_ = PostMessageW(box, WM_COMMAND, IDOK, 0) != FALSE;
            return 0;
        }
        Sleep(10);
    }
    return 0;
}

namespace {

struct Placement {
    const char* typeName;
    const wchar_t* text;
    int x, y, width, height;
};

void Place(NBUtility::GUIElement& element, NBUtility::GUIElement* parent, const Placement& at) {
    element.typeName = at.typeName;
    element.text = at.text;
    element.parent = parent;
    element.x = at.x;
    element.y = at.y;
    element.width = at.width;
    element.height = at.height;
}

} // namespace

TestEdit::TestEdit(NBUtility::GUIElement* parentElement) {
    Place(*this, parentElement, {"textbox", L"", 10, 10, 120, 24});
}

void TestEdit::Create() {
    CreateControl(L"edit", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, true);
}

TestLabel::TestLabel(NBUtility::GUIElement* parentElement) {
    Place(*this, parentElement, {"label", L"label", 10, 90, 100, 20});
}

void TestLabel::Create() {
    CreateControl(L"static", SS_NOTIFY, 0, false);
}

TestButton::TestButton(NBUtility::GUIElement* parentElement) {
    Place(*this, parentElement, {"button", L"Press", 10, 50, 80, 24});
}

void TestButton::Create() {
    CreateControl(L"Button", BS_PUSHBUTTON, 0, true);
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

namespace {

// Ends the process when one test runs longer than its bound, so a hang is a
// failure CTest sees instead of a stuck run.
class Watchdog : public testing::EmptyTestEventListener {
public:
    static constexpr DWORD BoundMilliseconds = 60000;

    void OnTestStart(const testing::TestInfo& info) override {
        generation_.fetch_add(1);
        name_ = std::string(info.test_suite_name()) + "." + info.name();
        const unsigned armed = generation_.load();
        HANDLE thread = CreateThread(nullptr, 0, Watch, new Arm{this, armed}, 0, nullptr);
        if (thread != nullptr) {
            CloseHandle(thread);
        }
    }
    void OnTestEnd(const testing::TestInfo&) override { generation_.fetch_add(1); }

private:
    struct Arm {
        Watchdog* dog;
        unsigned generation;
    };
    static DWORD WINAPI Watch(LPVOID parameter) {
        Arm* arm = static_cast<Arm*>(parameter);
        Sleep(BoundMilliseconds);
        if (arm->dog->generation_.load() == arm->generation) {
            std::fprintf(stderr, "watchdog: %s ran longer than %lu ms\n", arm->dog->name_.c_str(),
                         static_cast<unsigned long>(BoundMilliseconds));
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        delete arm;
        return 0;
    }

    std::atomic<unsigned> generation_{0};
    std::string name_;
};

struct WatchdogInstaller {
    WatchdogInstaller() { testing::UnitTest::GetInstance()->listeners().Append(new Watchdog); }
} installWatchdog;

} // namespace

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

void PixelSurface::Set(int x, int y, COLORREF color) {
    pixels_[y * width_ + x] = (static_cast<std::uint32_t>(GetRValue(color)) << 16) |
                              (static_cast<std::uint32_t>(GetGValue(color)) << 8) |
                              GetBValue(color);
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

std::vector<HWND> DialogWindows() {
    std::vector<HWND> dialogs;
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

} // namespace NBTest
