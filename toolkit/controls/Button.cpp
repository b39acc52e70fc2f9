#include "Button.h"

#include "AccessKeys.h"
#include "Contrast.h"

#include <cstdlib>

namespace NBUtility {

namespace {

constexpr std::int32_t BitmapCaptionGap = 8;
constexpr std::int32_t IconCaptionOffset = 40;
constexpr std::int32_t FocusInset = 3;

COLORREF Complement(COLORREF color) {
    return RGB(255 - GetRValue(color), 255 - GetGValue(color), 255 - GetBValue(color));
}

} // namespace

Button::Button(GUIElement* parentElement, const std::string& caption)
    : Child(parentElement, caption, "button") {}

void Button::Create() {
    CreateControl(L"Button", ownerDraw ? BS_OWNERDRAW : BS_PUSHBUTTON, 0, true);
}

std::int32_t Button::DrawImage(Drawing& surface, const RECT& item, bool) {
    HBITMAP bitmap = enabled ? image : disabledImage;
    if (bitmap != nullptr) {
        return DrawBitmapImage(surface, item, bitmap);
    }
    HICON shownIcon = enabled ? icon : disabledIcon;
    if (shownIcon == nullptr) {
        return 0;
    }
    return DrawIconImage(surface, item, shownIcon);
}

std::int32_t Button::DrawBitmapImage(Drawing& surface, const RECT& item, HBITMAP bitmap) {
    BITMAP info{};
    if (GetObjectW(bitmap, sizeof info, &info) == 0) {
        return 0; // a bitmap whose size is unknown is not drawn
    }
    const std::int32_t top = (item.bottom - item.top - info.bmHeight) / 2;
    surface.DrawBitmapTransparent(item.left + ImageLeftMargin, top, info.bmWidth, info.bmHeight,
                                  bitmap);
    return item.left + info.bmWidth + BitmapCaptionGap;
}

std::int32_t Button::DrawIconImage(Drawing& surface, const RECT& item, HICON shownIcon) {
    if (surface.Context() != nullptr) {
        DrawIconEx(surface.Context(), item.left + ImageLeftMargin,
                   (item.bottom - item.top - IconSize) / 2, shownIcon, IconSize, IconSize, 0,
                   nullptr, DI_NORMAL | DI_COMPAT);
    }
    return item.left + IconCaptionOffset;
}

std::int32_t CaptionOffset(HDC context, std::int32_t boxHeight) {
    LOGFONTW font{};
    if (GetObjectW(GetCurrentObject(context, OBJ_FONT), sizeof font, &font) == 0) {
        return 0;
    }
    // A negative height gives the character height; its size is what counts.
    const std::int32_t offset = (boxHeight - std::abs(font.lfHeight)) / 2;
    return offset < 0 ? 0 : offset;
}

void Button::PaintItem(Drawing& surface, const DRAWITEMSTRUCT& item) {
    HDC context = item.hDC; // not owned: the system's for this message
    const RECT& box = item.rcItem;
    const std::int32_t boxWidth = box.right - box.left;
    const std::int32_t boxHeight = box.bottom - box.top;
    COLORREF textColor = GetTextColor(context);
    const std::int32_t captionTop = CaptionOffset(context, boxHeight);

    surface.FillRect(box.left, box.top, boxWidth, boxHeight, GetBkColor(context));
    COLORREF frameColor = textColor;
    if (item.itemState & ODS_DISABLED) {
        frameColor = ContrastColour(DisabledFrameColor, COLOR_GRAYTEXT);
        textColor = ContrastColour(DisabledTextColor, COLOR_GRAYTEXT);
    } else if (item.itemState & ODS_SELECTED) {
        frameColor = Complement(textColor);
    }
    surface.FrameRect(box.left, box.top, boxWidth, boxHeight, frameColor);
    const std::int32_t captionX = DrawImage(surface, box, (item.itemState & ODS_SELECTED) != 0);
    // Hidden, the access key's mark is left out rather than passed as
    // DT_HIDEPREFIX, which Wine's DrawText does not honour.
    const bool keyHidden = (item.itemState & ODS_NOACCEL) != 0;
    surface.DrawText(box.left + captionX, box.top + captionTop, boxWidth - captionX, boxHeight,
                     keyHidden ? WithoutAccessKey(GetText()) : GetText(), textColor,
                     captionX <= 0 ? AlignCenter : AlignLeft, nullptr, keyHidden ? DT_NOPREFIX : 0);
    if (item.itemState & ODS_FOCUS) {
        RECT focus{box.left + FocusInset, box.top + FocusInset, box.right - FocusInset,
                   box.bottom - FocusInset};
        DrawFocusRect(context, &focus);
    }
}

} // namespace NBUtility
