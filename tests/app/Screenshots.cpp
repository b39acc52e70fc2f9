// Pictures of the program for the documentation and for make run. They run
// only when asked for (--gtest_also_run_disabled_tests) and write BMP files
// into the folder named by NB_SCREENSHOT_DIR; scripts/screenshots.sh turns
// them into PNG files, and with --compare holds them against the kept ones.

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AppDriver.h"

using namespace NBDriver;

namespace {

std::wstring ShotPath(const wchar_t* name) {
    const wchar_t* folder = _wgetenv(L"NB_SCREENSHOT_DIR");
    return std::wstring(folder != nullptr ? folder : L".") + L"\\" + name + L".bmp";
}

void Settle() {
    Sleep(700);
}

TEST(DISABLED_Screenshots, MainWindow) {
    AppDriver app;
    ASSERT_TRUE(app.Started()) << app.StartProblem();
    Settle();
    EXPECT_TRUE(CaptureScreen(ShotPath(L"main-window")));
    EXPECT_EQ(app.CloseWithYes(), 0);
}

TEST(DISABLED_Screenshots, Tabs) {
    AppDriver app;
    ASSERT_TRUE(app.Started()) << app.StartProblem();
    app.SetText(SourceBox, L"C:\\users\\me\\Documents\\report.pdf");
    app.SetText(DestBox, L"C:\\users\\me\\Documents\\report.nbnx");
    app.SetText(PasswordBox, L"password");
    app.SetText(ConfirmBox, L"password");
    Settle();
    EXPECT_TRUE(CaptureScreen(ShotPath(L"encrypt-tab")));
    app.SelectTab(1);
    app.SetText(SourceBox, L"C:\\users\\me\\Documents\\report.nbnx");
    app.SetText(PasswordBox, L"password");
    app.Click(SpecifyPathOption);
    Settle();
    EXPECT_TRUE(CaptureScreen(ShotPath(L"decrypt-tab")));
    EXPECT_EQ(app.CloseWithYes(), 0);
}

TEST(DISABLED_Screenshots, RunningJob) {
    AppDriver app;
    ASSERT_TRUE(app.Started()) << app.StartProblem();
    ScratchFolder folder;
    const std::wstring plain = folder.File(L"video.bin");
    // Long enough that the band shows bit pairs before the job ends.
    ASSERT_TRUE(MakeSparseFile(plain, 2000LL << 20));
    app.SetText(SourceBox, plain);
    app.SetText(DestBox, folder.File(L"video.nbnx"));
    app.SetText(PasswordBox, L"password");
    app.SetText(ConfirmBox, L"password");
    app.Click(StartButton);
    ASSERT_TRUE(app.WaitForCaption(StartButton, L"STOP", 10000));
    // Past the phrase, while bit pairs grow in the band.
    Sleep(6500);
    ASSERT_EQ(app.Caption(StartButton), L"STOP") << "the job ended before the picture";
    EXPECT_TRUE(CaptureScreen(ShotPath(L"running-job")));
    app.Click(StartButton);
    EXPECT_TRUE(app.WaitForCaption(StartButton, L"START"));
    EXPECT_EQ(app.CloseWithYes(), 0);
}

// The report that ends a set of 80 files, none of which could be encrypted.
TEST(DISABLED_Screenshots, SetReport) {
    ScratchFolder folder;
    std::vector<std::wstring> paths;
    for (int i = 1; i <= 80; ++i) {
        paths.push_back(folder.File(L"empty-" + std::to_wstring(i) + L".txt"));
        WriteFileBytes(paths.back(), "");
    }
    AppDriver app(paths);
    ASSERT_TRUE(app.Started()) << app.StartProblem();
    app.SetText(PasswordBox, L"password");
    app.SetText(ConfirmBox, L"password");
    app.Click(StartButton);
    const MessageBoxSeen report = app.WaitForMessageBox(60000);
    ASSERT_NE(report.window, nullptr);
    Settle();
    EXPECT_TRUE(CaptureScreen(ShotPath(L"set-report")));
    app.Answer(report, IDOK);
    EXPECT_TRUE(app.WaitForCaption(StartButton, L"START"));
    EXPECT_EQ(app.CloseWithYes(), 0);
}

TEST(DISABLED_Screenshots, AboutWindow) {
    AppDriver app;
    ASSERT_TRUE(app.Started()) << app.StartProblem();
    app.Click(InfoButton);
    HWND about = app.FindTopLevel(L"Info...");
    ASSERT_NE(about, nullptr);
    Settle();
    EXPECT_TRUE(CaptureScreen(ShotPath(L"about-window")));
    PostMessageW(about, WM_CLOSE, 0, 0);
    Sleep(300);
    EXPECT_EQ(app.CloseWithYes(), 0);
}

} // namespace
