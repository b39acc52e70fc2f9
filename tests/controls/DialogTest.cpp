// Message boxes and file dialogs answered by a watcher thread the way a user
// would answer them (every wait is bounded), and the filter block.

#include "Dialogs.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace NBUtility;
using namespace NBTest;

namespace {

constexpr int MessageTextId = 0xFFFF;
constexpr int FileNameFieldId = 0x47C; // combo box with the typed name

class Dialogs : public testing::Test {
protected:
    void SetUp() override {
        // The first form is the main window: its end posted a quit message,
        // which would close the next modal box at once.
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        form.reset(NewShownForm(L"owner"));
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
            PressDialogButton(box, IDOK);
        },
        L"R\u00E9sum\u00E9");
    std::atomic<bool> done{false};
    std::thread worker([&] {
        ShowError(form.get(), "File caf\xE9 \xFF.txt: check failed", "R\xE9sum\xE9");
        done = true;
    });
    const bool returned = PumpUntil([&] { return done.load(); });
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
            PressDialogButton(dialog, IDCANCEL);
            return;
        }
        SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        PressDialogButton(dialog, IDOK);
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

TEST_F(Dialogs, APathTheProgramCannotNameIsNotReturned) {
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
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(outcome, FileChoice::NotRepresentable);
}

TEST(FilterBlocks, PairsAreZeroSeparatedAndTheBlockEndsWithTwoZeros) {
    using namespace std::string_literals;
    struct Case {
        const char* name;
        std::vector<std::string> filters;
        std::wstring block;
    };
    const Case cases[] = {
        {"empty list", {}, L""s},
        {"one pair", {"All", "*.*"}, L"All\0*.*\0\0"s},
        {"pair without pattern skipped", {"A", "", "B", "*.b"}, L"B\0*.b\0\0"s},
        {"lone description skipped", {"A", "*.a", "B"}, L"A\0*.a\0\0"s},
        {"only a patternless pair", {"A", ""}, L""s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FilterBlock(c.filters), c.block) << c.name;
    }
}

} // namespace
