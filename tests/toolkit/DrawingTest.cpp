// The drawing surface, checked pixel by pixel in a memory DIB.

#include "Drawing.h"
#include "FontSpec.h"
#include "GdiHandles.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace NBUtility;

namespace {

constexpr COLORREF Backdrop = RGB(0, 128, 255);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Black = RGB(0, 0, 0);

// 10 x 10 bitmap: black left half (transparent), red right half.
HBITMAP HalfRedBitmap(NBTest::PixelSurface& scratch) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 10;
    info.bmiHeader.biHeight = -10;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(scratch.Context(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            pixels[y * 10 + x] = x < 5 ? 0x000000u : 0xFF0000u;
        }
    }
    return bitmap;
}

struct BitmapCase {
    const char* name;
    int width; // 0: natural size
    int height;
    int scale;
};

TEST(DrawingBitmap, BlackPixelsKeepTheSurfaceAtAnySize) {
    const BitmapCase cases[] = {
        {"natural", 0, 0, 1}, {"doubled", 20, 20, 2}, {"tripled", 30, 30, 3}};
    for (const BitmapCase& c : cases) {
        SCOPED_TRACE(c.name);
        NBTest::PixelSurface canvas(48, 48, Backdrop);
        GdiObject<HBITMAP> bitmap(HalfRedBitmap(canvas));
        // Colours a caller may have left in the context must not leak into the mask.
        SetTextColor(canvas.Context(), RGB(0, 255, 0));
        SetBkColor(canvas.Context(), RGB(0, 0, 255));
        Drawing surface(nullptr);
        surface.Borrow(canvas.Context());
        surface.DrawBitmapTransparent(4, 4, c.width, c.height, bitmap.Get());
        const int size = 10 * c.scale;
        for (int y = 4; y < 4 + size; y += c.scale) {
            // first column (black source) and last column (red source)
            EXPECT_EQ(canvas.At(4, y), Backdrop) << "row " << y;
            EXPECT_EQ(canvas.At(4 + size - 1, y), Red) << "row " << y;
        }
        EXPECT_EQ(canvas.At(4 + size, 4 + size - 1), Backdrop); // nothing beyond the box
        EXPECT_EQ(canvas.At(3, 3), Backdrop);
        EXPECT_EQ(GetTextColor(canvas.Context()), RGB(0, 255, 0));
        EXPECT_EQ(GetBkColor(canvas.Context()), RGB(0, 0, 255));
    }
}

TEST(DrawingShapes, FillAndFrameRectangles) {
    NBTest::PixelSurface canvas(40, 40, Backdrop);
    Drawing surface(nullptr);
    surface.Borrow(canvas.Context());
    surface.FillRect(2, 2, 10, 10, Red);
    EXPECT_EQ(canvas.At(2, 2), Red);
    EXPECT_EQ(canvas.At(8, 8), Red);
    EXPECT_EQ(canvas.At(13, 13), Backdrop);
    surface.FrameRect(20, 20, 10, 10, Black);
    EXPECT_EQ(canvas.At(20, 20), Black);
    EXPECT_EQ(canvas.At(29, 25), Black);
    EXPECT_EQ(canvas.At(25, 25), Backdrop); // a frame only
}

int FirstInkColumn(const NBTest::PixelSurface& canvas, int width, int height) {
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            if (canvas.At(x, y) != Backdrop) {
                return x;
            }
        }
    }
    return -1;
}

TEST(DrawingText, RightAlignedTextEndsAtTheRightEdge) {
    FontSpec font("Arial", -16);
    NBTest::PixelSurface left(200, 24, Backdrop);
    NBTest::PixelSurface right(200, 24, Backdrop);
    Drawing onLeft(nullptr);
    onLeft.Borrow(left.Context());
    onLeft.DrawText(0, 0, 200, 24, L"WW", Black, AlignLeft, &font);
    Drawing onRight(nullptr);
    onRight.Borrow(right.Context());
    onRight.DrawText(0, 0, 200, 24, L"WW", Black, AlignRight, &font);
    const int leftInk = FirstInkColumn(left, 200, 24);
    const int rightInk = FirstInkColumn(right, 200, 24);
    ASSERT_GE(leftInk, 0);
    EXPECT_LT(leftInk, 20);
    EXPECT_GT(rightInk, 150);
}

TEST(DrawingText, TextHeightNeedsAnActiveSurfaceAndAFont) {
    FontSpec font("Arial", -16);
    Drawing inactive(nullptr);
    EXPECT_EQ(inactive.TextHeight(&font), -1);
    inactive.FillRect(0, 0, 5, 5, Red); // does nothing, and does not crash
    NBTest::PixelSurface canvas(10, 10, Backdrop);
    Drawing surface(nullptr);
    surface.Borrow(canvas.Context());
    EXPECT_EQ(surface.TextHeight(nullptr), -1);
    EXPECT_GT(surface.TextHeight(&font), 0);
}

TEST(DrawingSurface, EndingABorrowedSurfaceLeavesTheContext) {
    NBTest::PixelSurface canvas(10, 10, Backdrop);
    {
        Drawing surface(nullptr);
        surface.Borrow(canvas.Context());
        EXPECT_TRUE(surface.IsActive());
        surface.End();
        EXPECT_FALSE(surface.IsActive());
        surface.FillRect(0, 0, 5, 5, Red);
    }
    EXPECT_EQ(GetObjectType(canvas.Context()), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(canvas.At(1, 1), Backdrop);
}

} // namespace
