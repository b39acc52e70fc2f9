// The drawing surface, checked pixel by pixel in a memory DIB.

#include "Drawing.h"
#include "FontSpec.h"
#include "GdiHandles.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

using namespace NBUtility;
using NBTest::PixelSurface;

namespace {

constexpr COLORREF Backdrop = RGB(0, 128, 255);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Black = RGB(0, 0, 0);

TEST(Drawing, BlackBitmapPixelsKeepTheSurfaceAtAnySize) {
    for (int scale : {1, 2, 3}) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        PixelSurface canvas(48, 48, Backdrop);
        GdiObject<HBITMAP> bitmap(NBTest::SolidBitmap(10, 10, Red, Black));
        // Colours a caller may have left in the context must not leak into the mask.
        SetTextColor(canvas.Context(), RGB(0, 255, 0));
        SetBkColor(canvas.Context(), RGB(0, 0, 255));
        Drawing surface(nullptr);
        surface.Borrow(canvas.Context());
        const int size = 10 * scale;
        const int requested = scale == 1 ? 0 : size; // 0: natural size
        surface.DrawBitmapTransparent(4, 4, requested, requested, bitmap.Get());
        for (int y = 4; y < 4 + size; y += scale) {
            EXPECT_EQ(canvas.At(4, y), Backdrop) << "row " << y;
            EXPECT_EQ(canvas.At(4 + size - 1, y), Red) << "row " << y;
        }
        EXPECT_EQ(canvas.At(4 + size, 4 + size - 1), Backdrop) << "nothing beyond the box";
        EXPECT_EQ(canvas.At(3, 3), Backdrop);
        EXPECT_EQ(GetTextColor(canvas.Context()), RGB(0, 255, 0));
        EXPECT_EQ(GetBkColor(canvas.Context()), RGB(0, 0, 255));
    }
}

TEST(Drawing, FillAndFrameRectangles) {
    PixelSurface canvas(40, 40, Backdrop);
    Drawing surface(nullptr);
    surface.Borrow(canvas.Context());
    surface.FillRect(2, 2, 10, 10, Red);
    surface.FrameRect(20, 20, 10, 10, Black);
    // The null pen of a fill leaves the last row and column out.
    EXPECT_EQ(canvas.CountIn(Red, {2, 2, 11, 11}), 81);
    EXPECT_EQ(canvas.CountIn(Red, canvas.All()), 81);
    EXPECT_EQ(canvas.CountIn(Black, {20, 20, 30, 30}), 36);
    EXPECT_EQ(canvas.CountIn(Black, canvas.All()), 36) << "a frame only";
}

TEST(Drawing, RightAlignedTextEndsAtTheRightEdge) {
    FontSpec font("Arial", -16);
    std::vector<int> ink[2];
    for (int i = 0; i < 2; ++i) {
        PixelSurface canvas(200, 24, Backdrop);
        Drawing surface(nullptr);
        surface.Borrow(canvas.Context());
        surface.DrawText(0, 0, 200, 24, L"WW", Black, i == 0 ? AlignLeft : AlignRight, &font);
        ink[i] = canvas.ColumnsWith(Black, canvas.All());
        ASSERT_FALSE(ink[i].empty());
    }
    EXPECT_LT(ink[0].front(), 20);
    EXPECT_GT(ink[1].front(), 150);
    EXPECT_GE(ink[1].back(), 190);
}

TEST(Drawing, AnInactiveSurfaceDrawsNothingAndKeepsABorrowedContext) {
    FontSpec font("Arial", -16);
    PixelSurface canvas(10, 10, Backdrop);
    Drawing surface(nullptr);
    EXPECT_EQ(surface.TextHeight(&font), -1);
    surface.FillRect(0, 0, 5, 5, Red);
    surface.Borrow(canvas.Context());
    EXPECT_TRUE(surface.IsActive());
    EXPECT_EQ(surface.TextHeight(nullptr), -1);
    EXPECT_GT(surface.TextHeight(&font), 0);
    surface.End();
    EXPECT_FALSE(surface.IsActive());
    surface.FillRect(0, 0, 5, 5, Red);
    EXPECT_EQ(GetObjectType(canvas.Context()), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(canvas.CountIn(Backdrop, canvas.All()), 100);
}

} // namespace
