// Panels and cells: the wheel reaching the right panel, the brush for their
// controls, cells painting and taking their own clicks, and classes and
// brushes released after their windows.

#include "CellControl.h"
#include "PanelChildren.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace NBUtility;
using namespace NBTest;

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 255, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);

class Panels : public testing::Test {
protected:
    void SetUp() override {
        form.reset(NewShownForm());
        panel = std::make_unique<PanelChildren>(form.get());
        panel->width = 200;
        panel->height = 120;
    }
    void TearDown() override {
        panel.reset();
        form.reset();
    }
    std::unique_ptr<Form> form;
    std::unique_ptr<PanelChildren> panel;
};

TEST_F(Panels, WheelNotchesScrollAPageAndReachTheLastClickedPanel) {
    panel->verticalScroll = true; // 0..100: a page of 10
    panel->Create();
    TestEdit child(panel.get());
    child.y = 60;
    child.Create();
    const auto wheel = [](HWND target, short delta) {
        SendMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0);
    };
    const auto position = [this] { return GetScrollPos(panel->window, SB_VERT); };
    wheel(panel->window, -WHEEL_DELTA);
    EXPECT_EQ(position(), 10);
    RECT frame{};
    GetWindowRect(child.window, &frame);
    POINT childTop{frame.left, frame.top};
    ScreenToClient(panel->window, &childTop);
    EXPECT_EQ(childTop.y, 50) << "the content moved with the bar";
    wheel(panel->window, -WHEEL_DELTA);
    wheel(panel->window, WHEEL_DELTA);
    EXPECT_EQ(position(), 10);

    // A window that is not a panel passes the wheel to the last clicked panel.
    SendMessageW(panel->window, WM_LBUTTONDOWN, 0, 0);
    wheel(child.window, -WHEEL_DELTA);
    EXPECT_EQ(position(), 20);
    // A click elsewhere ends that.
    SendMessageW(child.window, WM_LBUTTONDOWN, 0, 0);
    wheel(child.window, -WHEEL_DELTA);
    EXPECT_EQ(position(), 20);
}

TEST_F(Panels, ControlColoursComeFromThePanelAndOneBrushStaysAlive) {
    panel->childBackColor = Green;
    panel->childTextColor = Blue;
    panel->Create();
    PixelSurface surface(4, 4, Red);
    HBRUSH first = panel->OnControlColor(surface.Context());
    LOGBRUSH description{};
    ASSERT_NE(GetObjectW(first, sizeof description, &description), 0);
    EXPECT_EQ(description.lbColor, Green);
    EXPECT_EQ(GetBkColor(surface.Context()), Green);
    EXPECT_EQ(GetTextColor(surface.Context()), Blue);
    HBRUSH second = panel->OnControlColor(surface.Context());
    EXPECT_EQ(GetObjectType(first), 0u); // the replaced brush is gone
    EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_BRUSH));
    panel.reset();
    EXPECT_EQ(GetObjectType(second), 0u);
}

// As the About window's links: a left-aligned caption in its colour.
TEST_F(Panels, ACellPaintsItsCaptionOverItsBackgroundAndTakesItsOwnClicks) {
    CellControl cell(form.get());
    cell.width = 120;
    cell.height = 22;
    cell.text = L"www";
    cell.textAlign = 0;
    cell.textColor = Red;
    cell.backColor = Green;
    int clicks = 0;
    cell.onLeftButtonDown = [&](GUIElement* e, HWND, std::int32_t, std::int32_t) {
        return clicks += e == &cell ? 1 : 100;
    };
    form->onLeftButtonDown = [&](GUIElement*, HWND, std::int32_t, std::int32_t) {
        return clicks += 100;
    };
    cell.Create();
    UpdateWindow(cell.window);
    PixelSurface shot(120, 22, Blue);
    HDC context = GetDC(cell.window);
    BitBlt(shot.Context(), 0, 0, 120, 22, context, 0, 0, SRCCOPY);
    ReleaseDC(cell.window, context);
    // Text may be smoothed: ink is whatever is not the background.
    const RECT left{0, 0, 60, 21};
    const RECT right{60, 0, 119, 21};
    EXPECT_LT(shot.CountIn(Green, left), 60 * 21);
    EXPECT_GT(shot.CountIn(Red, left), 0);
    EXPECT_EQ(shot.CountIn(Green, right), 59 * 21);
    SendMessageW(cell.window, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
}

TEST(PanelEnd, ThreeHundredPanelsAndCellsLeaveNoClassAndNoBrush) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (int cycle = 0; cycle < 300; ++cycle) {
        std::unique_ptr<Form> window(NewShownForm(L"cycle"));
        auto panel = std::make_unique<PanelChildren>(window.get());
        panel->backColor = Red;
        auto cell = std::make_unique<CellControl>(panel.get());
        cell->backColor = Green;
        panel->Create();
        cell->Create();
        const std::wstring panelClass = panel->ClassName();
        const std::wstring cellClass = cell->ClassName();
        HBRUSH panelBrush = panel->windowClass.hbrBackground;
        HBRUSH cellBrush = cell->windowClass.hbrBackground;
        WNDCLASSW probe{};
        ASSERT_TRUE(GetClassInfoW(instance, panelClass.c_str(), &probe));
        // Owners delete their panels before or after the window goes.
        if (cycle % 2 == 0) {
            window.reset();
        }
        cell.reset();
        panel.reset();
        window.reset();
        ASSERT_FALSE(GetClassInfoW(instance, panelClass.c_str(), &probe)) << cycle;
        ASSERT_FALSE(GetClassInfoW(instance, cellClass.c_str(), &probe)) << cycle;
        ASSERT_EQ(GetObjectType(panelBrush), 0u) << cycle;
        ASSERT_EQ(GetObjectType(cellBrush), 0u) << cycle;
    }
}

} // namespace
