// The report that ends a set with failures, driven from outside: however many
// files fail, it stays inside the work area at the display's DPI, its OK
// button can be reached, and every failure can be read and copied.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "AppDriver.h"

using namespace NBDriver;

namespace {

const std::wstring goodPassword = L"correct horse";
constexpr wchar_t emptyFileReason[] = L": file not found or inaccessible";

std::wstring EmptyFileName(int index) {
    wchar_t name[32] = {};
    swprintf(name, 32, L"empty-%02d.txt", index + 1);
    return name;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// This process is DPI aware: physical pixels, as the program's.
RECT WorkAreaOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

testing::AssertionResult Inside(const RECT& inner, const RECT& outer) {
    if (inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
        inner.bottom <= outer.bottom) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "(" << inner.left << ", " << inner.top << ")-(" << inner.right << ", " << inner.bottom
           << ") is not inside (" << outer.left << ", " << outer.top << ")-(" << outer.right << ", "
           << outer.bottom << ")";
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(L"\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) {
        return text;
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto* characters = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = characters;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

class SetReport : public testing::Test {
protected:
    ScratchFolder folder;
    std::unique_ptr<AppDriver> app;

    // Opens count empty files together, as Explorer hands a selection over,
    // and encrypts them: every one of them fails. The lines the list should
    // hold come back.
    std::vector<std::wstring> EncryptEmptyFiles(int count) {
        std::vector<std::wstring> paths;
        std::vector<std::wstring> failures;
        for (int i = 0; i < count; ++i) {
            paths.push_back(folder.File(EmptyFileName(i)));
            WriteFileBytes(paths.back(), "");
            failures.push_back(EmptyFileName(i) + emptyFileReason);
        }
        app = std::make_unique<AppDriver>(paths);
        if (!app->Started()) {
            ADD_FAILURE() << app->StartProblem();
            return {};
        }
        app->SetText(PasswordBox, goodPassword);
        app->SetText(ConfirmBox, goodPassword);
        app->Click(StartButton);
        return failures;
    }

    void ExpectTheWindowBack() {
        EXPECT_TRUE(app->WaitForCaption(StartButton, L"START"));
        EXPECT_TRUE(PollUntil([&] { return IsWindowEnabled(app->Main()) != FALSE; }, 5000));
    }

    void TearDown() override {
        if (app && app->Started() && !HasFailure()) {
            EXPECT_EQ(app->CloseWithYes(), 0);
        }
    }
};

TEST_F(SetReport, EightyFailuresFitTheWorkAreaAndEveryOneCanBeReadAndCopied) {
    const std::vector<std::wstring> failures = EncryptEmptyFiles(80);
    ASSERT_EQ(failures.size(), 80u);
    const MessageBoxSeen report = app->WaitForMessageBox(60000);
    ASSERT_NE(report.window, nullptr) << "no report";
    RecordProperty("dpi", DisplayDpi());

    EXPECT_EQ(report.caption, L"NB Nimbra Vexal Edition");
    EXPECT_EQ(report.text, L"0 of 80 files encrypted successfully");
    EXPECT_EQ(SplitLines(report.details), failures);
    EXPECT_EQ(GetWindow(report.window, GW_OWNER), app->Main());
    EXPECT_FALSE(IsWindowEnabled(app->Main())) << "the report is modal";

    const RECT area = WorkAreaOf(report.window);
    EXPECT_TRUE(Inside(WindowRect(report.window), area));
    const HWND ok = GetDlgItem(report.window, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(IsWindowVisible(ok));
    RECT client{};
    GetClientRect(report.window, &client);
    MapWindowPoints(report.window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_TRUE(Inside(WindowRect(ok), client)) << "OK is cut off";
    EXPECT_TRUE(Inside(WindowRect(ok), area));
    const HWND list = FindWindowExW(report.window, nullptr, L"Edit", nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(Inside(WindowRect(list), client));
    EXPECT_NE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL, 0);

    EmptyTheClipboard();
    const HWND copy = FindWindowExW(report.window, nullptr, L"Button", L"Copy");
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(Inside(WindowRect(copy), client));
    PostMessageW(copy, BM_CLICK, 0, 0);
    std::wstring expected = report.text + L"\r\n";
    for (const std::wstring& line : failures) {
        expected += L"\r\n" + line;
    }
    EXPECT_TRUE(PollUntil([&] { return ClipboardText() == expected; }, 5000))
        << "the clipboard holds " << ClipboardText().size() << " characters";

    PostMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntilGone(report.window)) << "OK did not close the report";
    ExpectTheWindowBack();
}

// Enter and Esc close the report wherever the focus is: on OK (where it
// starts) or in the list.
TEST_F(SetReport, EnterAndEscCloseIt) {
    ASSERT_EQ(EncryptEmptyFiles(3).size(), 3u);
    struct Case {
        const char* what;
        bool inList;
        WPARAM key;
    } cases[] = {
        {"Enter on OK", false, VK_RETURN},
        {"Esc on OK", false, VK_ESCAPE},
        {"Enter in the list", true, VK_RETURN},
        {"Esc in the list", true, VK_ESCAPE},
    };
    bool started = true; // the first run by EncryptEmptyFiles
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!started) {
            app->Click(StartButton); // the same three files again
        }
        started = false;
        const MessageBoxSeen report = app->WaitForMessageBox(30000);
        ASSERT_NE(report.window, nullptr);
        ASSERT_EQ(report.text, L"0 of 3 files encrypted successfully");
        const HWND target = c.inList ? FindWindowExW(report.window, nullptr, L"Edit", nullptr)
                                     : GetDlgItem(report.window, IDOK);
        ASSERT_NE(target, nullptr);
        PostMessageW(target, WM_KEYDOWN, c.key, 1);
        PostMessageW(target, WM_KEYUP, c.key, 0xC0000001);
        EXPECT_TRUE(WaitUntilGone(report.window, 5000));
        if (IsWindow(report.window)) {
            app->Answer(report, IDOK);
        }
        ExpectTheWindowBack();
    }
}

} // namespace
