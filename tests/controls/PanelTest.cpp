// Panels and cells: styles, scroll pages, scrolling by bar and wheel, control
// colouring, self-painting cells, and classes released after their windows.

#include "CellControl.h"
#include "PanelChildren.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
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
        ASSERT_NE(form->window, nullptr);
    }
    std::unique_ptr<PanelChildren> NewPanel() {
        auto panel = std::make_unique<PanelChildren>(form.get());
        panel->x = 0;
        panel->y = 0;
        panel->width = 200;
        panel->height = 120;
        return panel;
    }
    static SCROLLINFO Bar(HWND window, int bar) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(window, bar, &info);
        return info;
    }
    std::unique_ptr<Form> form;
};

struct PageCase {
    std::int32_t minimum;
    std::int32_t maximum;
    std::int32_t page;
};

TEST_F(Panels, ScrollPageIsATenthOfTheRangeWithoutOverflowAndNeverNegative) {
    const PageCase cases[] = {{0, 100, 10},
                              {0, 5, 0},
                              {100, 0, 0},
                              {-50, 50, 10},
                              {0, 0, 0},
                              {INT32_MIN, INT32_MAX, 429496729},
                              {INT32_MAX, INT32_MIN, 0}};
    for (const PageCase& c : cases) {
        EXPECT_EQ(PanelChildren::PageFor(c.minimum, c.maximum), c.page)
            << c.minimum << ".." << c.maximum;
    }
    auto panel = NewPanel();
    panel->verticalScroll = true;
    panel->Create();
    EXPECT_EQ(Bar(panel->window, SB_VERT).nPage, 10u);
    EXPECT_EQ(Bar(panel->window, SB_VERT).nMax, 100);
    panel->SetScrollRange(0, 5);
    EXPECT_EQ(Bar(panel->window, SB_VERT).nPage, 0u);
}

TEST_F(Panels, StylesFollowTheFlagsAndOnCreatedSeesTheWindow) {
    using Flags = std::vector<bool PanelChildren::*>;
    struct Case {
        const char* name;
        Flags on;
        Flags off;
        DWORD present;
        DWORD absent;
        bool clientEdge;
    };
    const Case cases[] = {
        {"defaults",
         {},
         {},
         WS_CHILD | WS_VISIBLE | WS_TABSTOP,
         WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_DISABLED,
         false},
        {"border", {&PanelChildren::border}, {}, WS_BORDER, 0, true},
        {"flat border", {&PanelChildren::border, &PanelChildren::flat}, {}, WS_BORDER, 0, false},
        {"scroll bars",
         {&PanelChildren::verticalScroll, &PanelChildren::horizontalScroll},
         {},
         WS_VSCROLL | WS_HSCROLL,
         0,
         false},
        {"no tab stop, disabled",
         {},
         {&PanelChildren::panelTabStop, &PanelChildren::enabled},
         WS_DISABLED,
         WS_TABSTOP,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto panel = NewPanel();
        for (bool PanelChildren::*flag : c.on) {
            (*panel).*flag = true;
        }
        for (bool PanelChildren::*flag : c.off) {
            (*panel).*flag = false;
        }
        HWND seen = nullptr;
        panel->onCreated = [&seen](GUIElement* e, HWND w) { seen = e->created ? w : nullptr; };
        panel->Create();
        ASSERT_NE(panel->window, nullptr);
        EXPECT_EQ(seen, panel->window) << "raised once created, with the window";
        EXPECT_TRUE(HasBits(StyleOf(panel->window), c.present));
        EXPECT_EQ(StyleOf(panel->window) & c.absent, 0u);
        EXPECT_EQ(HasBits(StyleOf(panel->window, true), WS_EX_CLIENTEDGE), c.clientEdge);
        EXPECT_EQ(GetParent(panel->window), form->window);
    }
}

TEST_F(Panels, AFloatingPanelHasNoParentNoIdAndIsNotShown) {
    auto panel = NewPanel();
    panel->floating = true;
    panel->Create();
    ASSERT_NE(panel->window, nullptr);
    EXPECT_EQ(GetAncestor(panel->window, GA_PARENT), GetDesktopWindow());
    EXPECT_FALSE(IsWindowVisible(panel->window));
    EXPECT_TRUE(HasBits(StyleOf(panel->window, true), WS_EX_TOOLWINDOW));
    DestroyWindow(panel->window);
}

struct ScrollStep {
    WORD request;
    std::int32_t position;
    std::vector<std::int32_t> deltas; // callbacks raised by this step
};

TEST_F(Panels, ScrollBarRequestsMoveTheContentAndReportTheRequestedChange) {
    auto panel = NewPanel();
    panel->verticalScroll = true;
    std::vector<std::int32_t> deltas;
    panel->onVerticalScroll = [&](PanelChildren*, std::int32_t d) { deltas.push_back(d); };
    panel->onHorizontalScroll = [&](PanelChildren*, std::int32_t d) { deltas.push_back(d); };
    panel->Create();
    // A child at y 60 moves with the content.
    HWND child = CreateWindowExW(0, L"static", L"x", WS_CHILD | WS_VISIBLE, 0, 60, 20, 20,
                                 panel->window, nullptr, nullptr, nullptr);
    const ScrollStep steps[] = {
        {SB_LINEUP, 0, {1}}, // nothing scrolls, the request is still reported
        {SB_LINEDOWN, 1, {-1}}, {SB_PAGEDOWN, 11, {-10}},
        {SB_PAGEUP, 1, {10}},   {SB_BOTTOM, 91, {-99}}, // clamped by the system
        {SB_TOP, 0, {91}},      {SB_ENDSCROLL, 0, {}},
    };
    for (const ScrollStep& step : steps) {
        deltas.clear();
        EXPECT_EQ(SendMessageW(panel->window, WM_VSCROLL, MAKEWPARAM(step.request, 0), 0), 0);
        EXPECT_EQ(Bar(panel->window, SB_VERT).nPos, step.position) << step.request;
        EXPECT_EQ(deltas, step.deltas) << step.request;
    }
    deltas.clear();
    SendMessageW(panel->window, WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_TRUE(deltas.empty()) << "a horizontal request needs the horizontal flag";
    SendMessageW(panel->window, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    RECT childFrame{};
    GetWindowRect(child, &childFrame);
    POINT childTop{childFrame.left, childFrame.top};
    ScreenToClient(panel->window, &childTop);
    EXPECT_EQ(childTop.y, 50);
}

TEST_F(Panels, WheelNotchesScrollAPageAndReachTheLastClickedPanel) {
    auto panel = NewPanel();
    panel->verticalScroll = true;
    panel->Create();
    TestEdit child(panel.get());
    child.Create();
    auto wheel = [](HWND target, short delta) {
        return SendMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0);
    };
    EXPECT_EQ(wheel(panel->window, -WHEEL_DELTA), 0);
    EXPECT_EQ(Bar(panel->window, SB_VERT).nPos, 10);
    wheel(panel->window, -WHEEL_DELTA);
    wheel(panel->window, WHEEL_DELTA);
    EXPECT_EQ(Bar(panel->window, SB_VERT).nPos, 10);

    // A window that is not a panel passes the wheel to the last clicked panel.
    SendMessageW(panel->window, WM_LBUTTONDOWN, 0, 0);
    wheel(child.window, -WHEEL_DELTA);
    EXPECT_EQ(Bar(panel->window, SB_VERT).nPos, 20);
    // A click elsewhere ends that.
    SendMessageW(child.window, WM_LBUTTONDOWN, 0, 0);
    wheel(child.window, -WHEEL_DELTA);
    EXPECT_EQ(Bar(panel->window, SB_VERT).nPos, 20);
}

TEST_F(Panels, ControlColoursComeFromThePanelAndOneBrushStaysAlive) {
    auto panel = NewPanel();
    panel->childBackColor = Green;
    panel->childTextColor = Blue;
    panel->Create();
    PixelSurface surface(4, 4, Red);
    HBRUSH first = panel->OnControlColor(surface.Context());
    ASSERT_NE(first, nullptr);
    LOGBRUSH description{};
    GetObjectW(first, sizeof description, &description);
    EXPECT_EQ(description.lbColor, Green);
    EXPECT_EQ(GetBkColor(surface.Context()), Green);
    EXPECT_EQ(GetTextColor(surface.Context()), Blue);
    HBRUSH second = panel->OnControlColor(surface.Context());
    EXPECT_EQ(GetObjectType(first), 0u); // the replaced brush is gone
    EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_BRUSH));
    panel.reset();
    EXPECT_EQ(GetObjectType(second), 0u);
}

TEST_F(Panels, ColouringCanBeSwitchedOffOrFallBackToThePanelColours) {
    PixelSurface surface(4, 4, Red);
    auto off = NewPanel();
    off->colourChildren = false;
    off->childBackColor = Green;
    off->Create();
    EXPECT_EQ(off->OnControlColor(surface.Context()), nullptr);

    auto own = NewPanel();
    own->backColor = Blue;
    own->Create();
    ASSERT_NE(own->OnControlColor(surface.Context()), nullptr);
    EXPECT_EQ(GetBkColor(surface.Context()), Blue);

    auto system = NewPanel();
    system->Create();
    EXPECT_EQ(system->OnControlColor(surface.Context()), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(system->childBrush, nullptr);
}

TEST_F(Panels, ThreeHundredPanelsAndCellsLeaveNoClassAndNoBrush) {
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
        ASSERT_FALSE(panelClass.empty());
        WNDCLASSW probe{};
        ASSERT_TRUE(GetClassInfoW(instance, panelClass.c_str(), &probe));
        // Owners delete their panels before or after the window goes.
        if (cycle % 2 == 0) {
            window.reset();
            cell.reset();
            panel.reset();
        } else {
            cell.reset();
            panel.reset();
            window.reset();
        }
        ASSERT_FALSE(GetClassInfoW(instance, panelClass.c_str(), &probe)) << cycle;
        ASSERT_FALSE(GetClassInfoW(instance, cellClass.c_str(), &probe)) << cycle;
        ASSERT_EQ(GetObjectType(panelBrush), 0u) << cycle;
        ASSERT_EQ(GetObjectType(cellBrush), 0u) << cycle;
    }
}

class Cells : public Panels {
protected:
    std::unique_ptr<CellControl> NewCell() {
        auto cell = std::make_unique<CellControl>(form.get());
        cell->x = 10;
        cell->y = 10;
        cell->width = 120;
        cell->height = 40;
        return cell;
    }
    // Pixels of the area that are not the background (text may be smoothed).
    int InkIn(HWND window, const RECT& area, COLORREF background) {
        int count = 0;
        for (int py = area.top; py < area.bottom; ++py) {
            for (int px = area.left; px < area.right; ++px) {
                count += ScreenPixel(window, px, py) != background ? 1 : 0;
            }
        }
        return count;
    }
};

TEST_F(Cells, ACellPaintsOnItsFirstPaintAndATextChangeInvalidatesTheWholeCell) {
    auto cell = NewCell();
    std::vector<bool> createdAtPaint;
    cell->onPaint = [&](GUIElement* e) {
        createdAtPaint.push_back(e->created);
        return 0;
    };
    cell->Create();
    ASSERT_FALSE(createdAtPaint.empty());
    EXPECT_TRUE(createdAtPaint.front());
    EXPECT_FALSE(HasBits(StyleOf(cell->window), WS_TABSTOP));
    PumpFor(50);
    RECT pending{};
    ASSERT_FALSE(GetUpdateRect(cell->window, &pending, FALSE));
    cell->SetTextNarrow("Changed");
    ASSERT_TRUE(GetUpdateRect(cell->window, &pending, FALSE));
    EXPECT_EQ(pending.right - pending.left, 120);
    EXPECT_EQ(pending.bottom - pending.top, 40);
    EXPECT_EQ(cell->GetTextNarrow(), "Changed");
}

TEST_F(Cells, PaintsBackgroundBitmapAndMarkerWithoutText) {
    auto cell = NewCell();
    HBITMAP picture = SolidBitmap(20, 10, Blue);
    cell->bitmap = picture;
    cell->bitmapWidth = 20;
    cell->bitmapHeight = 10;
    cell->bitmapAlign = 0;
    cell->showMarker = true;
    cell->textColor = Red;
    cell->Create();
    cell->SetBackColor(Green); // painted again on every paint
    InvalidateRect(cell->window, nullptr, TRUE);
    UpdateWindow(cell->window);
    EXPECT_EQ(ScreenPixel(cell->window, 3, 15), Blue);
    EXPECT_EQ(ScreenPixel(cell->window, 2, 15), Green);
    EXPECT_EQ(ScreenPixel(cell->window, 60, 5), Green);
    // The marker sits in the bottom-right corner; no caption anywhere else.
    EXPECT_GT(InkIn(cell->window, {90, 20, 120, 40}, Green), 0);
    // FillRect's null pen leaves the last row and column to the class brush.
    EXPECT_EQ(InkIn(cell->window, {30, 0, 90, 39}, Green), 0);
    cell.reset();
    DeleteObject(picture);
}

} // namespace
