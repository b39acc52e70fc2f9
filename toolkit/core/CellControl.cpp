#include "CellControl.h"

#include "Drawing.h"
#include "FontSpec.h"

namespace NBUtility {

CellControl::CellControl(GUIElement* parentElement) : PanelChildren(parentElement) {
    panelTabStop = false;
}

void CellControl::SetText(const std::wstring& newText) {
    PanelChildren::SetText(newText);
    RunOnWindowThread([&] {
        if (created) {
            InvalidateRect(window, nullptr, TRUE);
        }
    });
}

POINT CellControl::BitmapPosition(const RECT& client) const {
    const std::int32_t top = (client.bottom - bitmapHeight - client.top) / 2;
    switch (bitmapAlign) {
    case BitmapRight:
        return {client.right - bitmapWidth - BitmapMargin, top};
    case BitmapCentre:
        return {(client.right - bitmapWidth - client.left) / 2, top};
    default:
        return {BitmapMargin, top};
    }
}

std::int32_t CellControl::OnPaint() {
    RECT client{};
    if (created && window != nullptr && GetClientRect(window, &client)) {
        Drawing surface(this);
        surface.BeginPaint();
        FontSpec captionFont(fontFace, fontSize);
        captionFont.bold = bold;
        captionFont.italic = italic;
        captionFont.underline = underline;
        FontSpec* shownFont = font != nullptr ? font : &captionFont;
        const std::int32_t clientWidth = client.right - client.left;
        if (backgroundPainted) {
            surface.FillRect(0, 0, clientWidth, client.bottom - client.top, backColor);
        }
        const std::int32_t lineHeight = surface.TextHeight(shownFont);
        if (!text.empty()) {
            const std::int32_t top = (client.bottom - lineHeight - client.top) / 2;
            surface.DrawText(0, top, clientWidth, client.bottom - top, text, textColor, textAlign,
                             shownFont);
        }
        if (showMarker) {
            surface.DrawText(client.right - lineHeight, client.bottom - lineHeight, lineHeight,
                             lineHeight, L"*", textColor, AlignCenter, shownFont);
        }
        if (bitmap != nullptr) {
            const POINT at = BitmapPosition(client);
            surface.DrawBitmapTransparent(at.x, at.y, bitmapWidth, bitmapHeight, bitmap);
        }
        surface.End();
    }
    return onPaint ? onPaint(this) : 0;
}

} // namespace NBUtility
