// The windows laid out at the display's DPI: the 96-DPI design scaled by
// DPI / 96, to the pixel at 96 and within one pixel elsewhere. The suite runs
// at each DPI the test session sets for the Wine prefix.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "AppDriver.h"

using namespace NBDriver;

namespace {

int Tolerance(int dpi) {
    return dpi == 96 ? 0 : 1;
}

testing::AssertionResult Near(const RECT& seen, const RECT& expected, int tolerance) {
    const auto off = [tolerance](LONG a, LONG b) { return std::labs(a - b) > tolerance; };
    if (off(seen.left, expected.left) || off(seen.top, expected.top) ||
        off(seen.right, expected.right) || off(seen.bottom, expected.bottom)) {
        return testing::AssertionFailure()
               << "at " << seen.left << "," << seen.top << " to " << seen.right << ","
               << seen.bottom << ", expected " << expected.left << "," << expected.top << " to "
               << expected.right << "," << expected.bottom;
    }
    return testing::AssertionSuccess();
}

// The colour of a pixel of the window's client area, read from the screen.
COLORREF ClientPixel(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return color;
}

TEST(EndToEndLayout, MainWindowAtTheDisplayDpi) {
    AppDriver app;
    ASSERT_TRUE(app.Started()) << app.StartProblem();
    const int dpi = DisplayDpi();
    RecordProperty("dpi", dpi);

    // The window shows before it takes its size.
    const SIZE expected{MulDiv(designClient.cx, dpi, 96), MulDiv(designClient.cy, dpi, 96)};
    ASSERT_TRUE(PollUntil(
        [&] {
            const SIZE client = app.ClientSize();
            return client.cx == expected.cx && client.cy == expected.cy;
        },
        5000))
        << "client " << app.ClientSize().cx << " x " << app.ClientSize().cy << " at " << dpi
        << " DPI";
    for (int control = 0; control < ControlCount; ++control) {
        const auto which = static_cast<Control>(control);
        EXPECT_TRUE(
            Near(app.RectInParent(which), ScaledRect(DesignRect(which), dpi), Tolerance(dpi)))
            << "control " << control << " at " << dpi << " DPI";
    }
    // The white header band ends where the scaled design says
    // (Its last row is the form's own colour, as a rectangle without a pen
    // is drawn.)
    const int bandEnd = MulDiv(100, dpi, 96) - 1;
    ASSERT_TRUE(PollUntil(
        [&] { return ClientPixel(app.Main(), 4, bandEnd - 1) == RGB(255, 255, 255); }, 5000))
        << std::hex << ClientPixel(app.Main(), 4, bandEnd - 1);
    EXPECT_NE(ClientPixel(app.Main(), 4, bandEnd), RGB(255, 255, 255));
    EXPECT_EQ(app.CloseWithYes(), 0);
}

TEST(EndToEndLayout, AboutWindowAtTheDisplayDpi) {
    AppDriver app;
    ASSERT_TRUE(app.Started()) << app.StartProblem();
    const int dpi = DisplayDpi();
    PostMessageW(app.Get(InfoButton), BM_CLICK, 0, 0);
    const HWND about = app.FindTopLevel(L"Info...");
    ASSERT_NE(about, nullptr);

    RECT client{};
    ASSERT_TRUE(PollUntil(
        [&] {
            GetClientRect(about, &client);
            return client.right == MulDiv(600, dpi, 96);
        },
        5000))
        << "client width " << client.right;
    EXPECT_EQ(client.bottom, MulDiv(300, dpi, 96));
    // The OK button is the design's 80 x 25, scaled.
    const HWND ok = FindWindowExW(about, nullptr, L"Button", L"OK");
    ASSERT_NE(ok, nullptr);
    RECT button{};
    GetWindowRect(ok, &button);
    EXPECT_LE(std::labs(button.right - button.left - MulDiv(80, dpi, 96)), Tolerance(dpi));
    EXPECT_LE(std::labs(button.bottom - button.top - MulDiv(25, dpi, 96)), Tolerance(dpi));

    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntilGone(about));
    EXPECT_EQ(app.CloseWithYes(), 0);
}

} // namespace
