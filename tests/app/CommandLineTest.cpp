// NBNimbra.exe started with paths, as Explorer, "Open with" or a drop on the
// program's icon start it.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "AppDriver.h"

using namespace NBDriver;

namespace {

struct Expected {
    int tab;
    std::wstring source;
    std::wstring destination; // checked only on the Encrypt tab
    std::wstring notice;      // part of the information box's text; empty: no box
};

struct Case {
    const char* name;
    // Builds the arguments in the folder and says what the window shows.
    std::function<std::vector<std::wstring>(const ScratchFolder&, Expected&)> arrange;
};

std::wstring MakeFile(const ScratchFolder& folder, const std::wstring& name) {
    WriteFileBytes(folder.File(name), "some plain text\n");
    return folder.File(name);
}

const Case cases[] = {
    {"ContainerOpensTheDecryptTab",
     [](const ScratchFolder& folder, Expected& expected) {
         const std::wstring path = folder.File(L"Письмо.nbnx");
         WriteFileBytes(path, ReadFileBytes(NB_TEST_DATA_DIR_W L"\\golden\\abc.nbnx"));
         expected = {1, path, L"", L""};
         return std::vector<std::wstring>{path};
     }},
    {"ContainerInCapitalsToo",
     [](const ScratchFolder& folder, Expected& expected) {
         const std::wstring path = MakeFile(folder, L"ARCHIVE.NBNX");
         expected = {1, path, L"", L""};
         return std::vector<std::wstring>{path};
     }},
    {"OtherFileOpensTheEncryptTabWithItsContainer",
     [](const ScratchFolder& folder, Expected& expected) {
         const std::wstring path = MakeFile(folder, L"Αναφορά 2026.txt");
         expected = {0, path, folder.File(L"Αναφορά 2026.nbnx"), L""};
         return std::vector<std::wstring>{path};
     }},
    {"SeveralFilesOpenTheEncryptTabAsASet",
     [](const ScratchFolder& folder, Expected& expected) {
         const std::wstring first = MakeFile(folder, L"first.txt");
         const std::wstring second = MakeFile(folder, L"second.nbnx");
         expected = {0, L"\"first.txt\" \"second.nbnx\"", L"", L""};
         return std::vector<std::wstring>{first, second};
     }},
    {"SeveralContainersOpenTheDecryptTabAsASet",
     [](const ScratchFolder& folder, Expected& expected) {
         const std::wstring first = MakeFile(folder, L"first.nbnx");
         const std::wstring second = MakeFile(folder, L"Second.NBNX");
         expected = {1, L"\"first.nbnx\" \"Second.NBNX\"", L"", L""};
         // Explorer may hand the first file of a selection twice.
         return std::vector<std::wstring>{first, first, second};
     }},
    {"WhatCannotBeOpenedIsLeftOutOfTheSet",
     [](const ScratchFolder& folder, Expected& expected) {
         const std::wstring first = MakeFile(folder, L"first.txt");
         const std::wstring second = MakeFile(folder, L"second.txt");
         expected = {0, L"\"first.txt\" \"second.txt\"", L"",
                     L"The file was not found:\n" + folder.File(L"gone.txt")};
         return std::vector<std::wstring>{first, folder.File(L"gone.txt"), second};
     }},
    {"MissingPathIsSaid",
     [](const ScratchFolder& folder, Expected& expected) {
         const std::wstring path = folder.File(L"gone.nbnx");
         expected = {0, L"", L"", L"The file was not found:\n" + path};
         return std::vector<std::wstring>{path};
     }},
    {"FolderIsSaid",
     [](const ScratchFolder& folder, Expected& expected) {
         expected = {0, L"", L"", L"A folder cannot be opened, only a file:\n" + folder.Path()};
         return std::vector<std::wstring>{folder.Path()};
     }},
};

class CommandLinePath : public testing::TestWithParam<Case> {};

TEST_P(CommandLinePath, OpensAsAPersonExpects) {
    ScratchFolder folder;
    Expected expected;
    AppDriver app(GetParam().arrange(folder, expected));
    ASSERT_TRUE(app.Started()) << app.StartProblem();

    if (!expected.notice.empty()) {
        const MessageBoxSeen box = app.WaitForMessageBox();
        ASSERT_NE(box.window, nullptr) << "no information box";
        EXPECT_NE(box.text.find(expected.notice), std::wstring::npos) << box.text.c_str();
        EXPECT_EQ(box.caption, L"NB Nimbra Vexal Edition");
        app.Answer(box, IDOK);
        ASSERT_TRUE(WaitUntilGone(box.window));
    }
    ASSERT_TRUE(PollUntil([&] { return app.Text(SourceBox) == expected.source; }, 10000))
        << "source box: " << app.Text(SourceBox).c_str();
    EXPECT_EQ(SendMessageW(app.Get(ModeTabs), TCM_GETCURSEL, 0, 0), expected.tab);
    if (expected.tab == 1) {
        EXPECT_EQ(app.Caption(SourceLabel), L"Files to Decrypt:");
        EXPECT_TRUE(app.IsChecked(SameFolderOption));
        EXPECT_FALSE(app.IsChecked(SpecifyPathOption));
        EXPECT_FALSE(app.IsVisible(DestBox));
    } else {
        EXPECT_EQ(app.Caption(SourceLabel), L"Files to Encrypt:");
        EXPECT_EQ(app.Text(DestBox), expected.destination);
    }
    // Straight to the password; with nothing opened, to the source box.
    EXPECT_EQ(app.FocusedWindow(), app.Get(expected.source.empty() ? SourceBox : PasswordBox));
    EXPECT_EQ(app.CloseWithYes(), 0);
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, CommandLinePath, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

} // namespace
