// What the main window paints, read back pixel by pixel: the header buttons
// in the colours the form hands them, their pressed frame and focus frame, the
// status band's text while a job runs and its clearing after, and the themed
// tab page showing behind its labels and boxes.

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "AppDriver.h"
#include "HeldJob.h"
#include "WindowTestSupport.h"

using namespace NBDriver;

namespace {

using NBTest::Black;
using NBTest::White;
constexpr COLORREF StartBack = RGB(0, 128, 0);
constexpr COLORREF HeaderBack = RGB(210, 210, 210);
// The focus frame's dotted line lies this far inside the button's edge.
constexpr int FocusInset = 3;

COLORREF Complement(COLORREF color) {
    return RGB(255 - GetRValue(color), 255 - GetGValue(color), 255 - GetBValue(color));
}

class MainWindowPainting : public NBTest::HeldWindowTest {
protected:
    MainWindowPainting() { HoldOnceWritten(L"big.nbnx"); }
};

NBTest::WindowPicture Repainted(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    NBTest::PumpFor(50);
    return NBTest::WindowPicture(window);
}

struct HeaderButton {
    const char* name;
    Control control;
    COLORREF back;
    COLORREF text;
};

// The colour of the one-pixel frame at the middle of each edge, or
// CLR_INVALID when the edges differ.
COLORREF FrameColour(const NBTest::WindowPicture& picture) {
    const int w = picture.Width();
    const int h = picture.Height();
    const COLORREF left = picture.At(0, h / 2);
    const bool same = picture.At(w - 1, h / 2) == left && picture.At(w / 2, 0) == left &&
                      picture.At(w / 2, h - 1) == left;
    return same ? left : CLR_INVALID;
}

// Pixels of the focus frame's top line that differ from the background.
int FocusLinePixels(const NBTest::WindowPicture& picture, COLORREF back) {
    const int from = FocusInset;
    const int to = picture.Width() - FocusInset;
    const RECT line{from, FocusInset, to, FocusInset + 1};
    return (to - from) - picture.Count(line, back);
}

// The form hands START a white caption on green and the other header buttons
// a black one on grey; pressed, the frame takes the complement of the
// caption's colour.
TEST_F(MainWindowPainting, HeaderButtonsIdlePressedAndFocused) {
    const HeaderButton buttons[] = {{"START", StartButton, StartBack, White},
                                    {"Info", InfoButton, HeaderBack, Black},
                                    {"Close", CloseButton, HeaderBack, Black}};
    for (const HeaderButton& button : buttons) {
        SCOPED_TRACE(button.name);
        HWND window = app->Get(button.control);
        SetFocus(app->Get(SourceBox));

        const NBTest::WindowPicture idle = Repainted(window);
        const int w = idle.Width();
        const int h = idle.Height();
        ASSERT_GT(w, 2 * FocusInset);
        const RECT inside{FocusInset + 1, FocusInset + 1, w - FocusInset - 1, h - FocusInset - 1};
        EXPECT_EQ(idle.At(FocusInset + 4, h / 2), button.back) << "left of the caption";
        EXPECT_EQ(FrameColour(idle), button.text);
        EXPECT_GT(idle.Count(inside, button.text), 0) << "the caption";
        EXPECT_EQ(FocusLinePixels(idle, button.back), 0) << "a focus frame without the focus";

        SendMessageW(window, BM_SETSTATE, TRUE, 0);
        const NBTest::WindowPicture pressed = Repainted(window);
        SendMessageW(window, BM_SETSTATE, FALSE, 0);
        EXPECT_EQ(FrameColour(pressed), Complement(button.text));
        EXPECT_EQ(pressed.At(FocusInset + 4, h / 2), button.back);

        SetFocus(window);
        ASSERT_EQ(GetFocus(), window);
        const NBTest::WindowPicture focused = Repainted(window);
        EXPECT_GT(FocusLinePixels(focused, button.back), (w - 2 * FocusInset) / 4)
            << "a dotted line over the whole width";
        EXPECT_EQ(FrameColour(focused), button.text);
    }
}

// The band is the header's strip below the buttons and the logo; the
// header's white, filled without an outline, leaves its last column and row.
RECT StatusBand(HWND main) {
    const int dpi = DisplayDpi();
    RECT client{};
    GetClientRect(main, &client);
    return {0, MulDiv(80, dpi, 96), client.right - 1, MulDiv(100, dpi, 96) - 1};
}

int BandTextPixels(HWND main) {
    return NBTest::WindowPicture(main).Count(StatusBand(main), Black);
}

TEST_F(MainWindowPainting, StatusBandShowsTextWhileAJobRunsAndIsClearedAfter) {
    HWND main = app->Main();
    NBTest::PumpFor(200);
    EXPECT_EQ(BandTextPixels(main), 0) << "an empty band before the job";
    ASSERT_TRUE(app->StartLongEncryption(folder.Path()));
    EXPECT_TRUE(NBTest::PumpUntil([&] { return BandTextPixels(main) > 0; }, 10000))
        << "no text in the band while the job runs";

    app->Click(StartButton); // STOP
    hold.Release();
    ASSERT_TRUE(NBTest::PumpUntil([&] { return app->Caption(StartButton) == L"START"; }, 20000));
    NBTest::PumpFor(300);
    const RECT band = StatusBand(main);
    EXPECT_EQ(NBTest::WindowPicture(main).Count(band, White),
              (band.right - band.left) * (band.bottom - band.top))
        << "the band keeps text after the job";
}

// The page's own colour: a point of the tab strip beside the control, in the
// margin no control covers.
COLORREF PageBeside(HWND tabs, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&rect), 2);
    return Repainted(tabs).At(rect.left - 4, (rect.top + rect.bottom) / 2);
}

// Pixels of the control's right end (past its text) that differ from the page.
int PixelsUnlikeThePage(HWND tabs, HWND control) {
    const COLORREF page = PageBeside(tabs, control);
    const NBTest::WindowPicture picture = Repainted(control);
    const int w = picture.Width();
    const RECT end{w - 8, 0, w, picture.Height()};
    return 8 * picture.Height() - picture.Count(end, page);
}

struct OnThePage {
    const char* name;
    int tab;
    Control control;
};

// The program's manifest turns visual styles on: the page is the theme's.
TEST_F(MainWindowPainting, LabelsAndBoxesShowTheThemedPageBehindThem) {
    const OnThePage controls[] = {{"source label", 0, SourceLabel},
                                  {"Check", 0, VerifyCheck},
                                  {"Strong protection", 0, StrongCheck},
                                  {"password label", 0, PasswordLabel},
                                  {"Status:", 0, StatusLabel},
                                  {"same folder option", 1, SameFolderOption},
                                  {"specify option", 1, SpecifyPathOption}};
    HWND tabs = app->Get(ModeTabs);
    // Else a grey box would go unseen.
    ASSERT_NE(PageBeside(tabs, app->Get(StatusLabel)), GetSysColor(COLOR_BTNFACE))
        << "the themed page has the dialog colour";
    for (const OnThePage& shown : controls) {
        SCOPED_TRACE(shown.name);
        app->SelectTab(shown.tab);
        HWND control = app->Get(shown.control);
        ASSERT_TRUE(NBTest::PumpUntil([&] { return IsWindowVisible(control) != FALSE; }));
        EXPECT_EQ(PixelsUnlikeThePage(tabs, control), 0);
    }
}

struct ContrastNews {
    const char* name;
    UINT message;
    WPARAM wParam;
};

// The system tells of high contrast by either message; the header buttons
// then take the system's colours, and their own again once it is off.
TEST_F(MainWindowPainting, HighContrastPaintsHeaderButtonsInSystemColours) {
    const ContrastNews news[] = {{"setting changed", WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST},
                                 {"colours changed", WM_SYSCOLORCHANGE, 0}};
    const HeaderButton buttons[] = {
        {"START", StartButton, StartBack, White},
        {"Info", InfoButton, HeaderBack, Black},
    };
    const COLORREF systemBack[] = {GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_BTNFACE)};
    for (const ContrastNews& change : news) {
        for (const bool on : {true, false}) {
            SCOPED_TRACE(std::string(change.name) + (on ? ", on" : ", off"));
            form->highContrastSaid = on;
            SendMessageW(form->window, change.message, change.wParam, 0);
            for (std::size_t index = 0; index < 2; ++index) {
                SCOPED_TRACE(buttons[index].name);
                ASSERT_NE(systemBack[index], buttons[index].back) << "a change this test sees";
                const NBTest::WindowPicture picture = Repainted(app->Get(buttons[index].control));
                EXPECT_EQ(picture.At(FocusInset + 4, picture.Height() / 2),
                          on ? systemBack[index] : buttons[index].back);
            }
        }
    }
}

} // namespace
