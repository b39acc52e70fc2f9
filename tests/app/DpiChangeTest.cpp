// The main window moved to a monitor of another DPI: the system's
// WM_DPICHANGED, with the rectangle it suggests, lays the window out again;
// moving back gives every rectangle it had before, to the pixel.

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cstdlib>
#include <memory>

#include "AppDriver.h"
#include "FormMain.h"
#include "ProgramInfo.h"
#include "WindowTestSupport.h"

using namespace NBDriver;

namespace {

std::array<RECT, ControlCount> RectsOf(const AppDriver& app) {
    std::array<RECT, ControlCount> rects{};
    for (int control = 0; control < ControlCount; ++control) {
        rects[control] = app.RectInParent(static_cast<Control>(control));
    }
    return rects;
}

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

TEST(DpiChange, TheMainWindowFollowsAndComesBackToThePixel) {
    auto form =
        std::make_unique<MyGame::FormMain>(GetModuleHandleW(nullptr), MyGame::MainCaption());
    AppDriver app(form->window);
    ASSERT_TRUE(app.Started());
    // From the design's own DPI, whatever the display's.
    const int startDpi = 96;
    MoveToDpi(form->window, form->layout.Dpi(), startDpi);
    const SIZE startClient = app.ClientSize();
    const std::array<RECT, ControlCount> before = RectsOf(app);
    for (int control = 0; control < ControlCount; ++control) {
        EXPECT_TRUE(SameRect(before[control], DesignRect(static_cast<Control>(control))))
            << "control " << control;
    }

    const int higherDpi = 144;
    MoveToDpi(form->window, startDpi, higherDpi);
    const SIZE client = app.ClientSize();
    EXPECT_EQ(client.cx, MulDiv(designClient.cx, higherDpi, 96));
    EXPECT_EQ(client.cy, MulDiv(designClient.cy, higherDpi, 96));
    for (int control = 0; control < ControlCount; ++control) {
        const RECT expected = ScaledRect(DesignRect(static_cast<Control>(control)), higherDpi);
        EXPECT_TRUE(SameRect(app.RectInParent(static_cast<Control>(control)), expected))
            << "control " << control;
    }
    // The logo is the picture drawn for that scale, not a stretched one.
    BITMAP logo{};
    const auto shown =
        reinterpret_cast<HBITMAP>(SendMessageW(app.Get(LogoImage), STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(GetObjectW(shown, sizeof logo, &logo), 0);
    EXPECT_EQ(logo.bmWidth, 300);
    EXPECT_EQ(logo.bmHeight, 75);

    MoveToDpi(form->window, higherDpi, startDpi);
    EXPECT_EQ(app.ClientSize().cx, startClient.cx);
    EXPECT_EQ(app.ClientSize().cy, startClient.cy);
    const std::array<RECT, ControlCount> after = RectsOf(app);
    for (int control = 0; control < ControlCount; ++control) {
        EXPECT_TRUE(SameRect(after[control], before[control])) << "control " << control;
    }
}

TEST(DpiChange, TheAboutWindowFollowsWithItsOwnPicture) {
    auto form =
        std::make_unique<MyGame::FormMain>(GetModuleHandleW(nullptr), MyGame::MainCaption());
    AppDriver app(form->window);
    ASSERT_TRUE(app.Started());
    MoveToDpi(form->window, form->layout.Dpi(), 96);
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
