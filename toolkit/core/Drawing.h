#pragma once
// Painting surface on one element's window: filled and framed rectangles, text
// and bitmaps with black as the transparent colour.

#include <windows.h>

#include <commctrl.h>
// The surface's own operations, not the Win32 macros of the same names.
#undef DrawText
#undef DrawStatusText

#include <cstdint>
#include <string>

namespace NBUtility {

class FontSpec;
class GUIElement;

enum TextAlignment : std::int32_t { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

class Drawing {
public:
    explicit Drawing(GUIElement* element);
    ~Drawing();
    Drawing(const Drawing&) = delete;
    Drawing& operator=(const Drawing&) = delete;

    void BeginPaint();
    // Uses a context that stays someone else's (owner-draw, a memory context).
    void Borrow(HDC borrowedContext);
    void End();
    bool IsActive() const { return context_ != nullptr; }
    HDC Context() const { return context_; }

    void FillRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                  COLORREF color);
    void FrameRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                   COLORREF color);
    // extraFormat: DT_ flags beside the alignment's (DT_NOPREFIX, say).
    void DrawText(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                  const std::wstring& text, COLORREF color, std::int32_t alignment, FontSpec* font,
                  UINT extraFormat = 0);
    void DrawTextNarrow(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        const std::string& text, COLORREF color, std::int32_t alignment,
                        FontSpec* font);
    // At 26, 80 unless told otherwise (a layout scaled for the display).
    void DrawStatusText(const std::string& text, COLORREF color, std::int32_t left = 26,
                        std::int32_t top = 80);
    std::int32_t TextHeight(FontSpec* font);
    // Black pixels of the bitmap leave the surface as it was. Width and height
    // 0 draw at the bitmap's own size.
    void DrawBitmapTransparent(std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height, HBITMAP bitmap);

    // The caller owns the bitmap; null when the file does not load.
    static HBITMAP LoadBitmapFile(const std::string& narrowPath);

    // Longest text drawn; longer texts are cut.
    static constexpr std::size_t MaxTextLength = 1023;

private:
    GUIElement* element_; // not owned
    HDC context_ = nullptr;
    bool borrowed_ = false;
    PAINTSTRUCT paintRecord_{};
};

// Format flags for an alignment code: 1 right, 2 centre, anything else left;
// no clipping when the box has no width or no height.
UINT TextFormatFlags(std::int32_t alignment, std::int32_t width, std::int32_t height);

} // namespace NBUtility
