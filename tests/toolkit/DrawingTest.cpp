// The drawing surface, checked pixel by pixel in a memory DIB, and the font
// handle it draws with.

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
    for (int scale : {1, 2}) {
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

// The main window's status band is painted with this over its own background.
TEST(Drawing, StatusTextIsDrawnAtTheBandsPlaceWithoutABackgroundBox) {
    PixelSurface canvas(200, 110, Backdrop);
    SetTextColor(canvas.Context(), Red);
    Drawing surface(nullptr);
    surface.Borrow(canvas.Context());
    surface.DrawStatusText("Checking 0110", Black);
    EXPECT_GT(canvas.CountIn(Black, {26, 80, 200, 110}), 0);
    EXPECT_EQ(canvas.CountIn(Black, {0, 0, 200, 80}) + canvas.CountIn(Black, {0, 80, 26, 110}), 0);
    EXPECT_GT(canvas.CountIn(Backdrop, {26, 80, 40, 90}), 0) << "drawn transparent";
    EXPECT_EQ(GetTextColor(canvas.Context()), Red) << "the caller's colour is restored";
}

TEST(Drawing, AnInactiveSurfaceDrawsNothingAndKeepsABorrowedContext) {
    PixelSurface canvas(10, 10, Backdrop);
    Drawing surface(nullptr);
    surface.FillRect(0, 0, 5, 5, Red);
    surface.Borrow(canvas.Context());
    EXPECT_TRUE(surface.IsActive());
    surface.End();
    EXPECT_FALSE(surface.IsActive());
    surface.FillRect(0, 0, 5, 5, Red);
    EXPECT_EQ(GetObjectType(canvas.Context()), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(canvas.CountIn(Backdrop, canvas.All()), 100);
}

TEST(FontSpec, HandleIsMadeOnFirstUseKeptAndFreed) {
    HFONT handle = nullptr;
    {
        FontSpec font("Arial", -14);
        handle = font.GetHandle();
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(font.GetHandle(), handle);
        EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(GetObjectType(handle), 0u);
}

} // namespace
