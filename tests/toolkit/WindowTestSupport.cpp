#include "WindowTestSupport.h"

#include "GdiHandles.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

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

} // namespace

WindowPicture::WindowPicture(HWND window) {
    RECT client{};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) {
        return;
    }
    NBUtility::WindowContext source(window);
    NBUtility::MemoryContext memory(source.Get());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    NBUtility::GdiObject<HBITMAP> bitmap(
        CreateDIBSection(source.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || source.Get() == nullptr) {
        return;
    }
    {
        NBUtility::SelectedObject selected(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, client.right, client.bottom, source.Get(), 0, 0, SRCCOPY);
        GdiFlush();
    }
    width_ = client.right;
    height_ = client.bottom;
    const auto* first = static_cast<const std::uint32_t*>(bits);
    pixels_.assign(first, first + static_cast<std::size_t>(width_) * height_);
}

COLORREF WindowPicture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return CLR_INVALID;
    }
    const std::uint32_t pixel = pixels_[static_cast<std::size_t>(y) * width_ + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

int WindowPicture::Count(const RECT& area, COLORREF color) const {
    int count = 0;
    for (int y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, height_); ++y) {
        for (int x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, width_); ++x) {
            count += At(x, y) == color ? 1 : 0;
        }
    }
    return count;
}

TestEdit::TestEdit(NBUtility::GUIElement* parentElement) {
    typeName = "textbox";
    parent = parentElement;
    x = y = 10;
    width = 120;
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

} // namespace NBTest
