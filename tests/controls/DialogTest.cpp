// Message boxes, file dialogs and shell open, answered by a watcher thread the
// way a user would answer them; every wait is bounded.

#include "Dialogs.h"
#include "TextConversion.h"
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
constexpr int FilterListId = 0x470;    // combo box with the filters

struct SeenBox {
    std::wstring text;
    std::wstring caption;
    HWND owner = nullptr;
    bool hasYes = false;
};

// Reads a message box and presses one of its buttons.
std::function<void(HWND)> ReadAndPress(SeenBox& seen, int button) {
    return [&seen, button](HWND box) {
        HWND label = WaitForControl(box, MessageTextId);
        seen.text = label != nullptr ? TextOf(label) : L"";
        seen.caption = TextOf(box);
        seen.owner = GetWindow(box, GW_OWNER);
        seen.hasYes = GetDlgItem(box, IDYES) != nullptr;
        PressDialogButton(box, button);
    };
}

class MessageBoxes : public testing::Test {
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

TEST_F(MessageBoxes, AskYesNoAnswersWhatWasPressed) {
    struct Case {
        int button;
        bool expected;
    };
    for (const Case c : {Case{IDYES, true}, Case{IDNO, false}}) {
        SeenBox seen;
        DialogWatcher watcher(ReadAndPress(seen, c.button), L"Uscita");
        EXPECT_EQ(AskYesNo("You really want to exit?", "Uscita"), c.expected);
        ASSERT_TRUE(watcher.Finish());
        EXPECT_EQ(seen.text, L"You really want to exit?");
        EXPECT_TRUE(seen.hasYes);
        EXPECT_EQ(seen.owner, nullptr);
    }
}

TEST_F(MessageBoxes, NarrowTextsReadTheSameAsInATextBox) {
    SeenBox seen;
    DialogWatcher watcher(ReadAndPress(seen, IDOK), L"R\u00E9sum\u00E9");
    ShowInfo(form.get(), "File caf\xE9 \xFF.txt encrypted", "R\xE9sum\xE9");
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(seen.text, L"File caf\u00E9 \u00FF.txt encrypted");
    EXPECT_EQ(seen.caption, L"R\u00E9sum\u00E9");
    EXPECT_EQ(seen.owner, form->window);
    EXPECT_FALSE(seen.hasYes);
}

TEST_F(MessageBoxes, ErrorFromAWorkerThreadWhileTheInterfaceThreadPumps) {
    SeenBox seen;
    DialogWatcher watcher(ReadAndPress(seen, IDOK), L"ERROR");
    std::atomic<bool> done{false};
    std::thread worker([&] {
        ShowError(form.get(), "Check failed.", "ERROR");
        done = true;
    });
    const bool returned = PumpUntil([&] { return done.load(); });
    const bool found = watcher.Finish();
    worker.join();
    ASSERT_TRUE(found);
    EXPECT_TRUE(returned);
    EXPECT_EQ(seen.text, L"Check failed.");
    EXPECT_EQ(seen.owner, form->window);
}

// File dialogs.

std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, buffer);
    return buffer;
}

class ScratchFile {
public:
    explicit ScratchFile(const std::wstring& name) : path_(TempFolder() + name) {
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, "data", 4, &written, nullptr);
            CloseHandle(file);
        }
    }
    ~ScratchFile() { DeleteFileW(path_.c_str()); }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

struct SeenFileDialog {
    std::vector<std::wstring> filters;
    int selectedFilter = -1;
    std::wstring initialName;
    bool confirmationShown = false;
};

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(length));
        items.push_back(item);
    }
    return items;
}

// Reads the dialog, then types the name (when given) and confirms, or cancels.
std::function<void(HWND)> DriveFileDialog(SeenFileDialog& seen, std::wstring name) {
    return [&seen, name](HWND dialog) {
        HWND field = WaitForControl(dialog, FileNameFieldId);
        if (HWND filters = GetDlgItem(dialog, FilterListId); filters != nullptr) {
            seen.filters = ComboItems(filters);
            seen.selectedFilter = static_cast<int>(SendMessageW(filters, CB_GETCURSEL, 0, 0));
        }
        seen.initialName = field != nullptr ? TextOf(field) : L"";
        if (name.empty() || field == nullptr) {
            PressDialogButton(dialog, IDCANCEL);
            return;
        }
        SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        PressDialogButton(dialog, IDOK);
    };
}

class FileDialogs : public MessageBoxes {};

TEST_F(FileDialogs, OpenReturnsTheChosenPathWithTheDefaultFilter) {
    ScratchFile file(L"nbtest-open.txt");
    SeenFileDialog seen;
    DialogWatcher watcher(DriveFileDialog(seen, file.Path()));
    const std::string chosen = OpenFileDialog(form.get());
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(chosen, ToNarrow(file.Path()));
    EXPECT_EQ(seen.filters, (std::vector<std::wstring>{L"All files(*.*)"}));
    EXPECT_EQ(seen.selectedFilter, 0);
}

TEST_F(FileDialogs, FilterPairsAppearInOrderAndCancellingGivesAnEmptyPathAndSaysSo) {
    SeenFileDialog seen;
    DialogWatcher watcher(DriveFileDialog(seen, L""), L"Filters");
    FileChoice outcome = FileChoice::Chosen;
    const std::string chosen = OpenFileDialog(
        form.get(), "Filters", "",
        {"File NBNX (*.nbnx)", "*.nbnx", "No pattern", "", "All files(*.*)", "*.*", "Odd one out"},
        &outcome);
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(seen.filters, (std::vector<std::wstring>{L"File NBNX (*.nbnx)", L"All files(*.*)"}));
    EXPECT_EQ(seen.selectedFilter, 0);
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(outcome, FileChoice::Cancelled);
}

TEST_F(FileDialogs, AFilterListLongerThanTheOldBlockIsOfferedWhole) {
    std::vector<std::string> filters;
    for (int i = 0; i < 30; ++i) {
        filters.push_back("Kind " + std::to_string(i) + std::string(40, '-'));
        filters.push_back("*.k" + std::to_string(i));
    }
    ASSERT_GT(FilterBlock(filters).size(), 1024u);
    SeenFileDialog seen;
    DialogWatcher watcher(DriveFileDialog(seen, L""), L"Many");
    OpenFileDialog(form.get(), "Many", "", filters);
    ASSERT_TRUE(watcher.Finish());
    ASSERT_EQ(seen.filters.size(), 30u);
    EXPECT_EQ(seen.filters.back(), ToWide(filters[58]));
}

TEST_F(FileDialogs, SaveStartsWithTheSuggestedNameAndAddsNoExtension) {
    ScratchFile folder(L"nbtest-marker.txt");
    const std::wstring target = TempFolder() + L"nbtest-saved";
    SeenFileDialog seen;
    DialogWatcher watcher(DriveFileDialog(seen, target), L"Save to");
    FileChoice outcome = FileChoice::Cancelled;
    const std::string chosen = SaveFileDialog(form.get(), "Save to", ToNarrow(TempFolder()),
                                              "plain.txt", {"All files(*.*)", "*.*"}, &outcome);
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(seen.initialName, L"plain.txt");
    EXPECT_EQ(chosen, ToNarrow(target));
    EXPECT_EQ(outcome, FileChoice::Chosen);
}

TEST_F(FileDialogs, ASuggestedNameLongerThanTheBufferIsLeftOut) {
    SeenFileDialog seen;
    DialogWatcher watcher(DriveFileDialog(seen, L""), L"Too long");
    const std::string hugeName(FileNameCapacity + 10, 'n');
    SaveFileDialog(form.get(), "Too long", "", hugeName, {"All files(*.*)", "*.*"});
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(seen.initialName, L"");
}

TEST_F(FileDialogs, SavingOverAnExistingFileAsksFirst) {
    ScratchFile existing(L"nbtest-existing.txt");
    SeenFileDialog seen;
    std::atomic<bool> asked{false};
    DialogWatcher watcher(
        [&](HWND dialog) {
            HWND field = WaitForControl(dialog, FileNameFieldId);
            SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(existing.Path().c_str()));
            PressDialogButton(dialog, IDOK);
            // The confirmation is a second dialog window; answering No keeps
            // the file dialog open, which is then cancelled.
            WaitUntil([&] {
                for (HWND other : DialogWindows()) {
                    if (other != dialog && GetDlgItem(other, IDNO) != nullptr) {
                        asked = true;
                        PressDialogButton(other, IDNO);
                    }
                }
                return asked.load();
            });
            Sleep(100);
            seen.confirmationShown = IsWindow(dialog) && IsWindowVisible(dialog);
            PressDialogButton(dialog, IDCANCEL);
        },
        L"Replace?");
    const std::string chosen = SaveFileDialog(form.get(), "Replace?", "", "", {"All", "*.*"});
    ASSERT_TRUE(watcher.Finish());
    EXPECT_TRUE(asked);
    EXPECT_TRUE(seen.confirmationShown); // still open after No
    EXPECT_EQ(chosen, "");
}

TEST_F(FileDialogs, APathTheProgramCannotNameIsNotReturned) {
    ScratchFile greek(L"nbtest-\u03A9mega.txt");
    SeenFileDialog seen;
    DialogWatcher watcher(DriveFileDialog(seen, greek.Path()), L"Greek");
    FileChoice outcome = FileChoice::Chosen;
    const std::string chosen = OpenFileDialog(form.get(), "Greek", "", {"All", "*.*"}, &outcome);
    ASSERT_TRUE(watcher.Finish());
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

TEST(Shell, AMissingPathIsRefused) {
    EXPECT_FALSE(OpenWithShell("Z:\\nbtest\\no such folder\\missing.nbnx"));
    EXPECT_FALSE(OpenWithShell(ToNarrow(TempFolder()) + "nbtest-missing-document.txt"));
}

} // namespace
