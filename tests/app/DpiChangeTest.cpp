// The main window moved to a monitor of another DPI: the system's
// WM_DPICHANGED, with the rectangle it suggests, lays the window out again;
// moving back gives every rectangle it had before, to the pixel.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <memory>

#include "AppDriver.h"
#include "FormMain.h"
#include "ProgramInfo.h"
#include "WindowTestSupport.h"

using namespace NBDriver;

namespace {

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// What the system sends: the window's rectangle scaled about its corner.
void MoveToDpi(HWND window, int fromDpi, int toDpi) {
    RECT frame{};
    GetWindowRect(window, &frame);
    RECT suggested{frame.left, frame.top,
                   frame.left + MulDiv(frame.right - frame.left, toDpi, fromDpi),
                   frame.top + MulDiv(frame.bottom - frame.top, toDpi, fromDpi)};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(toDpi, toDpi),
                 reinterpret_cast<LPARAM>(&suggested));
    NBTest::PumpFor(50);
}

class DpiChange : public testing::Test {
protected:
    std::unique_ptr<MyGame::FormMain> form =
        std::make_unique<MyGame::FormMain>(GetModuleHandleW(nullptr), MyGame::MainCaption());
    AppDriver app{form->window};

    // From the design's own DPI, whatever the display's.
    void SetUp() override {
        ASSERT_TRUE(app.Started()) << app.StartProblem();
        MoveToDpi(form->window, form->layout.Dpi(), 96);
    }

    // The client area and every control where the design scaled to dpi puts them.
    void ExpectLaidOutAt(int dpi) {
        EXPECT_EQ(app.ClientSize().cx, MulDiv(designClient.cx, dpi, 96));
        EXPECT_EQ(app.ClientSize().cy, MulDiv(designClient.cy, dpi, 96));
        for (int control = 0; control < ControlCount; ++control) {
            const auto which = static_cast<Control>(control);
            EXPECT_TRUE(SameRect(app.RectInParent(which), ScaledRect(DesignRect(which), dpi)))
                << "control " << control << " at " << dpi << " DPI";
        }
    }
};

// Back at 96 DPI every rectangle is the design's again, to the pixel.
TEST_F(DpiChange, TheMainWindowFollowsAndComesBackToThePixel) {
    ExpectLaidOutAt(96);
    MoveToDpi(form->window, 96, 144);
    ExpectLaidOutAt(144);
    // The logo is the picture drawn for that scale, not a stretched one.
    BITMAP logo{};
    const auto shown =
        reinterpret_cast<HBITMAP>(SendMessageW(app.Get(LogoImage), STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(GetObjectW(shown, sizeof logo, &logo), 0);
    EXPECT_EQ(logo.bmWidth, 300);
    EXPECT_EQ(logo.bmHeight, 75);

    MoveToDpi(form->window, 144, 96);
    ExpectLaidOutAt(96);
}

TEST_F(DpiChange, TheAboutWindowFollowsWithItsOwnPicture) {
    SendMessageW(app.Get(InfoButton), BM_CLICK, 0, 0);
    NBTest::PumpFor(100);
    const HWND about = app.FindTopLevel(L"Info...", 0);
    ASSERT_NE(about, nullptr);

    MoveToDpi(about, 96, 192);
    RECT client{};
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, 1200);
    EXPECT_EQ(client.bottom, 600);
    const HWND ok = FindWindowExW(about, nullptr, L"Button", L"OK");
    ASSERT_NE(ok, nullptr);
    RECT button{};
    GetWindowRect(ok, &button);
    EXPECT_EQ(button.right - button.left, 160);
    EXPECT_EQ(button.bottom - button.top, 50);
    const HWND title = FindWindowExW(about, nullptr, L"Static", nullptr);
    ASSERT_NE(title, nullptr);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(title, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(std::abs(font.lfHeight), 32) << "the title's 16-pixel font, doubled";
    // The picture's frame holds the picture drawn at twice the size.
    const HWND frame = GetWindow(about, GW_CHILD);
    const HWND picture = frame != nullptr ? GetWindow(frame, GW_CHILD) : nullptr;
    ASSERT_NE(picture, nullptr);
    BITMAP shown{};
    ASSERT_NE(
        GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)),
                   sizeof shown, &shown),
        0);
    EXPECT_EQ(shown.bmWidth, 326);
    EXPECT_EQ(shown.bmHeight, 100);
    SendMessageW(about, WM_CLOSE, 0, 0);
    NBTest::PumpFor(50);
}

} // namespace
