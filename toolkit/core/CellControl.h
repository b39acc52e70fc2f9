#pragma once
// A panel that paints itself: a caption in its own font, an optional marker
// in the bottom-right corner and an optional bitmap (black is transparent).

#include "Drawing.h"
#include "PanelChildren.h"

#include <cstdint>
#include <string>

namespace NBUtility {

enum BitmapAlignment : std::int32_t { BitmapRight = 1, BitmapCentre = 2 };

class CellControl : public PanelChildren {
public:
    explicit CellControl(GUIElement* parentElement);

    HBITMAP bitmap = nullptr;               // not owned
    std::int32_t bitmapAlign = BitmapRight; // any other value than 1 or 2: left
    std::int32_t bitmapWidth = 0;
    std::int32_t bitmapHeight = 0;
    bool showMarker = false;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    std::string fontFace = "Tahoma";
    std::int32_t fontSize = 14;
    std::int32_t textAlign = AlignCenter;
    COLORREF textColor = RGB(0, 0, 0);

    // Repaints the whole cell, background included, once created.
    void SetText(const std::wstring& newText) override;
    std::int32_t OnPaint() override;

    // Where the bitmap goes in a client area of the given size.
    POINT BitmapPosition(const RECT& client) const;

    static constexpr std::int32_t BitmapMargin = 3;
};

} // namespace NBUtility
