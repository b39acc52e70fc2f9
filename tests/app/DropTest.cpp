// Files dropped on the main window, with the drop built the way the shell
// builds it.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>

#include "AppDriver.h"
#include "FormMain.h"
#include "ProgramInfo.h"
#include "ShellDrop.h"
#include "WindowTestSupport.h"

using namespace NBDriver;

namespace {

class Drop : public testing::Test {
protected:
    static std::unique_ptr<MyGame::FormMain> form;
    static std::unique_ptr<AppDriver> app;
    ScratchFolder folder;

    static void SetUpTestSuite() {
        form = std::make_unique<MyGame::FormMain>(GetModuleHandleW(nullptr), MyGame::MainCaption());
        app = std::make_unique<AppDriver>(form->window);
    }

    static void TearDownTestSuite() {
        app.reset();
        form.reset();
    }

    void SetUp() override {
        ASSERT_TRUE(app->Started())
            << app->StartProblem() << "; controls found: " << app->ControlsFound();
        UseTab(0);
    }

    void UseTab(int index) {
        app->SelectTab(index);
        NBTest::PumpFor(50);
        app->SetText(SourceBox, L"");
        app->SetText(DestBox, L"");
    }

    std::wstring MakeFile(const std::wstring& name) {
        WriteFileBytes(folder.File(name), "contents");
        return folder.File(name);
    }

    // Drops the paths and answers the message box the drop shows, if any;
    // returns that box. The drop returns only once its box is closed, so no
    // box can come after it.
    MessageBoxSeen DropAndAnswer(const std::vector<std::wstring>& paths) {
        MessageBoxSeen seen;
        std::atomic<bool> dropped{false};
        std::thread watcher([&] {
            const ULONGLONG deadline = GetTickCount64() + 20000;
            while (!dropped && seen.window == nullptr && GetTickCount64() < deadline) {
                seen = app->WaitForMessageBox(50);
            }
            app->Answer(seen, IDOK);
        });
        SendMessageW(app->Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(NBTest::ShellDrop(paths)),
                     0);
        dropped = true;
        watcher.join();
        return seen;
    }
};

std::unique_ptr<MyGame::FormMain> Drop::form;
std::unique_ptr<AppDriver> Drop::app;

const std::wstring foldersLeftOut = L"Folders are left out: only the files dropped were taken.";

TEST_F(Drop, FilesAndFoldersInEitherMode) {
    const std::wstring first = MakeFile(L"first.txt");
    const std::wstring second = MakeFile(L"second.txt");
    const std::wstring sub = folder.File(L"sub");
    CreateDirectoryW(sub.c_str(), nullptr);
    const std::wstring third = MakeFile(L"sub\\third.txt");
    // Each drop on an emptied source box; dest is the box after, box the
    // message the drop showed (none when empty).
    struct Case {
        const char* what;
        int tab;
        std::vector<std::wstring> dropped;
        std::wstring source;
        std::wstring dest = L"";
        std::wstring destBefore = L"";
        std::wstring box = L"";
    } cases[] = {
        {"one file, encrypt", 0, NBTest::Paths(first), first, folder.File(L"first.nbnx")},
        {"a typed destination stays", 0, NBTest::Paths(first), first, L"D:\\mine.nbnx",
         L"D:\\mine.nbnx"},
        {"decrypt leaves the destination", 1, NBTest::Paths(first), first},
        {"several files: a set, beside each file", 0, NBTest::Paths(second, first),
         L"\"second.txt\" \"first.txt\"", L"", L"D:\\mine.nbnx"},
        {"a set keeps a folder as its destination", 0, NBTest::Paths(first, second),
         L"\"first.txt\" \"second.txt\"", folder.Path(), folder.Path()},
        {"a set to decrypt", 1, NBTest::Paths(first, second), L"\"first.txt\" \"second.txt\""},
        {"files from several folders: full paths", 0, NBTest::Paths(first, third),
         L"\"" + first + L"\" \"" + third + L"\""},
        {"a folder alone: nothing", 0, NBTest::Paths(sub), L""},
        {"a folder is passed over", 0, NBTest::Paths(sub, first), first, folder.File(L"first.nbnx"),
         L"", foldersLeftOut},
        {"a set with a folder in it", 0, NBTest::Paths(first, sub, second),
         L"\"first.txt\" \"second.txt\"", L"", L"", foldersLeftOut},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UseTab(c.tab);
        app->SetText(DestBox, c.destBefore);
        const MessageBoxSeen box = DropAndAnswer(c.dropped);
        EXPECT_EQ(app->Text(SourceBox), c.source);
        EXPECT_EQ(app->Text(DestBox), c.dest);
        EXPECT_EQ(box.text, c.box);
        if (!c.box.empty()) {
            EXPECT_EQ(box.caption, L"NB Nimbra Vexal Edition");
        }
    }
}

TEST_F(Drop, APathBeyondLatin1IsTakenWhole) {
    const std::wstring chinese = MakeFile(L"\x4E2D\x6587.txt");
    const MessageBoxSeen box = DropAndAnswer({chinese});
    EXPECT_EQ(box.window, nullptr);
    EXPECT_EQ(app->Text(SourceBox), chinese);
    EXPECT_EQ(app->Text(DestBox), chinese.substr(0, chinese.size() - 4) + L".nbnx");
}

TEST_F(Drop, DroppingWhileTheAboutWindowIsOpenOrAJobRunsChangesNothing) {
    const std::wstring other = MakeFile(L"other.txt");
    app->Click(InfoButton);
    HWND about = nullptr;
    ASSERT_TRUE(NBTest::PumpUntil([&] { return (about = FindWindowW(nullptr, L"Info...")); }));
    EXPECT_EQ(DropAndAnswer({other}).window, nullptr);
    EXPECT_EQ(app->Text(SourceBox), L"");
    PostMessageW(GetWindow(about, GW_CHILD), WM_CHAR, VK_ESCAPE, 1);
    ASSERT_TRUE(NBTest::PumpUntil([&] { return IsWindowEnabled(app->Main()) != FALSE; }));

    ASSERT_TRUE(app->StartLongEncryption(folder.Path()));
    ASSERT_TRUE(NBTest::PumpUntil([&] { return app->Caption(StartButton) == L"STOP"; }));

    const MessageBoxSeen box = DropAndAnswer({other});
    EXPECT_EQ(box.window, nullptr);
    EXPECT_EQ(app->Text(SourceBox), folder.File(L"big.bin"));

    app->Click(StartButton);
    EXPECT_TRUE(NBTest::PumpUntil([&] { return app->Caption(StartButton) == L"START"; }, 30000));
}

} // namespace
