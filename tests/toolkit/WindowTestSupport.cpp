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

BOOL CALLBACK FindOwnMessageBox(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        std::wstring(className) == L"#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
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
        box = nullptr;
        EnumWindows(FindOwnMessageBox, reinterpret_cast<LPARAM>(&box));
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

} // namespace NBTest
