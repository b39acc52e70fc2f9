// Message boxes and file dialogs answered by a watcher thread the way a user
// would answer them; every wait is bounded.

#include "Dialogs.h"
#include "ReportBox.h"
#include "TextConversion.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace NBUtility;
using NBTest::WaitUntil;

namespace {

constexpr int MessageTextId = 0xFFFF;
constexpr int FileNameFieldId = 0x47C; // combo box with the typed name

// WM_GETTEXT, which also reads another thread's controls.
std::wstring TextOf(HWND window) {
    std::wstring text(1 << 16, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, NBTest::WaitBoundMilliseconds, &copied);
    text.resize(copied);
    return text;
}

// Runs action on its own thread with this process's visible dialog box of
// this caption once it appears; gives up after the bound.
class DialogWatcher {
public:
    DialogWatcher(std::function<void(HWND dialog)> action, std::wstring caption)
        : thread_([this, action, caption] {
              HWND dialog = nullptr;
              found_ = WaitUntil([&] {
                  while ((dialog = FindWindowExW(nullptr, dialog, L"#32770", caption.c_str()))) {
                      DWORD process = 0;
                      GetWindowThreadProcessId(dialog, &process);
                      if (process == GetCurrentProcessId() && IsWindowVisible(dialog)) {
                          return true;
                      }
                  }
                  return false;
              });
              if (found_) {
                  action(dialog);
              }
          }) {}
    ~DialogWatcher() { Finish(); }

    // Waits for the thread; answers whether a dialog was found.
    bool Finish() {
        if (thread_.joinable()) {
            thread_.join();
        }
        return found_;
    }

private:
    std::atomic<bool> found_{false};
    std::thread thread_;
};

// Presses a dialog button the way a click would, without real input.
void Press(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

HWND WaitForControl(HWND dialog, int controlId) {
    HWND control = nullptr;
    WaitUntil([&] { return (control = GetDlgItem(dialog, controlId)) != nullptr; });
    return control;
}

class Dialogs : public testing::Test {
protected:
    void SetUp() override {
        // The first form is the main window: its end posted a quit message,
        // which would close the next modal box at once.
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        form.reset(NBTest::NewShownForm(L"owner"));
        ASSERT_NE(form->window, nullptr);
    }
    std::unique_ptr<Form> form;
};

TEST_F(Dialogs, ErrorFromAWorkerIsShownOverTheFormWithItsNarrowTextWhileTheFormPumps) {
    std::wstring text;
    HWND owner = nullptr;
    DialogWatcher watcher(
        [&](HWND box) {
            HWND label = WaitForControl(box, MessageTextId);
            text = label != nullptr ? TextOf(label) : L"";
            owner = GetWindow(box, GW_OWNER);
            Press(box, IDOK);
        },
        L"R\u00E9sum\u00E9");
    std::atomic<bool> done{false};
    std::thread worker([&] {
        ShowError(form.get(), "File caf\xE9 \xFF.txt: check failed", "R\xE9sum\xE9");
        done = true;
    });
    const bool returned = NBTest::PumpUntil([&] { return done.load(); });
    const bool found = watcher.Finish();
    worker.join();
    ASSERT_TRUE(found);
    EXPECT_TRUE(returned);
    EXPECT_EQ(text, L"File caf\u00E9 \u00FF.txt: check failed");
    EXPECT_EQ(owner, form->window);
}

// Types the name into the file dialog and confirms, or cancels when it is
// empty; records the name the dialog started with.
std::function<void(HWND)> DriveFileDialog(std::wstring& initialName, std::wstring name) {
    return [&initialName, name](HWND dialog) {
        HWND field = WaitForControl(dialog, FileNameFieldId);
        initialName = field != nullptr ? TextOf(field) : L"";
        if (name.empty() || field == nullptr) {
            Press(dialog, IDCANCEL);
            return;
        }
        SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        Press(dialog, IDOK);
    };
}

TEST_F(Dialogs, ASuggestedNameLongerThanTheBufferIsLeftOutAndCancellingSaysSo) {
    std::wstring initialName = L"unread";
    DialogWatcher watcher(DriveFileDialog(initialName, L""), L"Too long");
    FileChoice outcome = FileChoice::Chosen;
    const std::string chosen =
        SaveFileDialog(form.get(), "Too long", "", std::string(FileNameCapacity + 10, 'n'),
                       {"All files(*.*)", "*.*"}, &outcome);
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(initialName, L"");
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(outcome, FileChoice::Cancelled);
}

TEST_F(Dialogs, APathBeyondLatin1ComesBackWhole) {
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    const std::wstring greek = std::wstring(folder) + L"nbtest-\u03A9mega.txt";
    HANDLE file = CreateFileW(greek.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    std::wstring initialName;
    DialogWatcher watcher(DriveFileDialog(initialName, greek), L"Greek");
    FileChoice outcome = FileChoice::Chosen;
    const std::string chosen = OpenFileDialog(form.get(), "Greek", "", {"All", "*.*"}, &outcome);
    EXPECT_TRUE(watcher.Finish());
    DeleteFileW(greek.c_str());
    EXPECT_EQ(ToWide(chosen), greek);
    EXPECT_EQ(outcome, FileChoice::Chosen);
}

// A report over the form: its narrow texts shown whole, the owner disabled
// while it is open, and however many lines it holds, inside the work area.
TEST_F(Dialogs, AReportOfManyLinesKeepsToTheWorkAreaAndClosesWithEsc) {
    ReportContent content{"R\xC3\xA9sum\xC3\xA9", "1 of 401 fichiers chiffr\xC3\xA9s", {}, true};
    std::wstring expectedList;
    for (int i = 0; i < 400; ++i) {
        const std::string index = std::to_string(i);
        content.details.push_back("\xCE\xA9-" + index + ".txt: acc\xC3\xA8s refus\xC3\xA9");
        expectedList += (i == 0 ? L"" : L"\r\n") + (L"\u03A9-" + ToWide(index)) +
                        L".txt: acc\u00E8s refus\u00E9";
    }
    std::wstring summary, list;
    RECT box{}, work{};
    bool ownerEnabled = true;
    DialogWatcher watcher(
        [&](HWND dialog) {
            summary = TextOf(WaitForControl(dialog, MessageTextId));
            list = TextOf(FindWindowExW(dialog, nullptr, L"Edit", nullptr));
            GetWindowRect(dialog, &box);
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
            work = monitor.rcWork;
            ownerEnabled = IsWindowEnabled(GetWindow(dialog, GW_OWNER)) != FALSE;
            PostMessageW(FindWindowExW(dialog, nullptr, L"Edit", nullptr), WM_KEYDOWN, VK_ESCAPE,
                         1);
        },
        L"R\u00E9sum\u00E9");
    ShowReport(form.get(), content);
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(summary, L"1 of 401 fichiers chiffr\u00E9s");
    EXPECT_EQ(list, expectedList);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(form->window));
    EXPECT_GE(box.left, work.left);
    EXPECT_GE(box.top, work.top);
    EXPECT_LE(box.right, work.right);
    EXPECT_LE(box.bottom, work.bottom);
}

TEST(ReportPlacement, AWindowIsMovedInsideTheAreaAndCutToItWhereLarger) {
    const RECT area{0, 0, 1000, 800};
    struct Case {
        const char* what;
        RECT window, expected;
    } cases[] = {
        {"inside already", {100, 100, 400, 300}, {100, 100, 400, 300}},
        {"above the top", {100, -608, 400, 1409}, {100, 0, 400, 800}},
        {"past the right", {900, 100, 1200, 300}, {700, 100, 1000, 300}},
        {"past the bottom", {100, 700, 400, 900}, {100, 600, 400, 800}},
        {"left of the area", {-50, 100, 250, 300}, {0, 100, 300, 300}},
        {"larger both ways", {-10, -10, 1200, 900}, {0, 0, 1000, 800}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RECT fitted = FitInside(c.window, area);
        EXPECT_EQ(fitted.left, c.expected.left);
        EXPECT_EQ(fitted.top, c.expected.top);
        EXPECT_EQ(fitted.right, c.expected.right);
        EXPECT_EQ(fitted.bottom, c.expected.bottom);
    }
    const RECT offset = FitInside({0, 0, 300, 200}, {1280, 40, 2560, 1000});
    EXPECT_EQ(offset.left, 1280) << "a second monitor's area";
    EXPECT_EQ(offset.top, 40);
}

} // namespace
