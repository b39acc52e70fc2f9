#include "Drawing.h"

#include "FontSpec.h"
#include "GUIElement.h"
#include "GdiHandles.h"
#include "TextConversion.h"

namespace NBUtility {

namespace {

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);

struct BitmapSize {
    int width = 0;
    int height = 0;
};

BitmapSize SizeOf(HBITMAP bitmap) {
    BITMAP info{};
    if (GetObjectW(bitmap, sizeof info, &info) == 0) {
        return {};
    }
    return {info.bmWidth, info.bmHeight};
}

} // namespace

UINT TextFormatFlags(std::int32_t alignment, std::int32_t width, std::int32_t height) {
    UINT flags = DT_LEFT;
    if (alignment == AlignRight) {
        flags = DT_RIGHT;
    } else if (alignment == AlignCenter) {
        flags = DT_CENTER;
    }
    if (width == 0 || height == 0) {
        flags |= DT_NOCLIP;
    }
    return flags;
}

Drawing::Drawing(GUIElement* element) : element_(element) {}

Drawing::~Drawing() {
    End();
}

void Drawing::BeginPaint() {
    if (context_ == nullptr && element_ != nullptr && element_->window != nullptr) {
        context_ = ::BeginPaint(element_->window, &paintRecord_);
    }
}

void Drawing::Borrow(HDC borrowedContext) {
    End();
    context_ = borrowedContext;
    borrowed_ = true;
}

void Drawing::End() {
    if (borrowed_) {
        context_ = nullptr;
        borrowed_ = false;
        return;
    }
    if (context_ != nullptr) {
        EndPaint(element_->window, &paintRecord_);
        context_ = nullptr;
    }
}

void Drawing::FillRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                       COLORREF color) {
    if (!IsActive()) {
        return;
    }
    GdiObject<HPEN> pen(CreatePen(PS_NULL, 0, Black));
    GdiObject<HBRUSH> brush(CreateSolidBrush(color));
    SelectedObject selectedPen(context_, pen.Get());
    SelectedObject selectedBrush(context_, brush.Get());
    Rectangle(context_, x, y, x + width, y + height);
}

void Drawing::FrameRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        COLORREF color) {
    if (!IsActive()) {
        return;
    }
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    SelectedObject selectedPen(context_, pen.Get());
    SelectedObject selectedBrush(context_, GetStockObject(NULL_BRUSH)); // stock: never deleted
    Rectangle(context_, x, y, x + width, y + height);
}

void Drawing::DrawText(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                       const std::wstring& text, COLORREF color, std::int32_t alignment,
                       FontSpec* font, UINT extraFormat) {
    if (!IsActive()) {
        return;
    }
    SetBkMode(context_, TRANSPARENT);
    std::wstring shown = text.substr(0, MaxTextLength);
    const int length = static_cast<int>(shown.size());
    RECT box{x, y, x + width, y + height};
    const SelectedObject selectedFont(context_, font != nullptr ? font->GetHandle() : nullptr);
    const COLORREF previousColor = SetTextColor(context_, color);
    if (width != 0 && height != 0) {
        ::DrawTextW(context_, shown.data(), length, &box,
                    TextFormatFlags(alignment, width, height) | extraFormat);
    } else {
        TextOutW(context_, x, y, shown.data(), length);
    }
    SetTextColor(context_, previousColor);
}

void Drawing::DrawTextNarrow(std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, const std::string& text, COLORREF color,
                             std::int32_t alignment, FontSpec* font) {
    DrawText(x, y, width, height, ToWide(text), color, alignment, font);
}

void Drawing::DrawStatusText(const std::string& text, COLORREF color, std::int32_t left,
                             std::int32_t top) {
    DrawTextNarrow(left, top, 0, 0, text, color, AlignLeft, nullptr);
}

std::int32_t Drawing::TextHeight(FontSpec* font) {
    if (!IsActive() || font == nullptr) {
        return -1;
    }
    SelectedObject selectedFont(context_, font->GetHandle());
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(context_, &metrics)) {
        return -1;
    }
    return metrics.tmHeight;
}

void Drawing::DrawBitmapTransparent(std::int32_t x, std::int32_t y, std::int32_t width,
                                    std::int32_t height, HBITMAP bitmap) {
    if (!IsActive() || bitmap == nullptr) {
        return;
    }
    const BitmapSize natural = SizeOf(bitmap);
    MemoryContext source(context_);
    MemoryContext mask(context_);
    GdiObject<HBITMAP> maskBitmap(CreateBitmap(natural.width, natural.height, 1, 1, nullptr));
    SelectedObject selectedMask(mask.Get(), maskBitmap.Get());
    SelectedObject selectedSource(source.Get(), bitmap);

    // The mask is made at the bitmap's own size: black source pixels (the
    // source's background colour) become white, every other pixel black.
    {
        const COLORREF previous = SetBkColor(source.Get(), Black);
        BitBlt(mask.Get(), 0, 0, natural.width, natural.height, source.Get(), 0, 0, SRCCOPY);
        SetBkColor(source.Get(), previous);
    }

    // Monochrome to colour takes the destination's colours: white mask bits
    // must keep the surface (AND with white), black ones clear it.
    ContextColors colors(context_, Black, White);
    const bool stretched = width != 0 && height != 0;
    const int drawWidth = stretched ? width : natural.width;
    const int drawHeight = stretched ? height : natural.height;
    const int previousMode = SetStretchBltMode(context_, COLORONCOLOR);
    StretchBlt(context_, x, y, drawWidth, drawHeight, mask.Get(), 0, 0, natural.width,
               natural.height, SRCAND);
    StretchBlt(context_, x, y, drawWidth, drawHeight, source.Get(), 0, 0, natural.width,
               natural.height, SRCPAINT);
    SetStretchBltMode(context_, previousMode);
}

HBITMAP Drawing::LoadBitmapFile(const std::string& narrowPath) {
    return static_cast<HBITMAP>(LoadImageW(nullptr, ToWide(narrowPath).c_str(), IMAGE_BITMAP, 0, 0,
                                           LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

} // namespace NBUtility
