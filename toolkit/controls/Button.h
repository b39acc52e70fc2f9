#pragma once
// Push button on the standard "Button" class, optionally painted by the
// toolkit with an image or icon at the left and its own frame colours.

#include "Drawing.h"
#include "GUIElement.h"
#include "OwnerDrawn.h"

#include <cstdint>
#include <string>

namespace NBUtility {

class Button : public Child, public CommandElement, public OwnerDrawn {
public:
    Button(GUIElement* parentElement, const std::string& caption);

    bool ownerDraw = false;
    HBITMAP image = nullptr;         // not owned
    HBITMAP disabledImage = nullptr; // not owned
    HICON icon = nullptr;            // not owned
    HICON disabledIcon = nullptr;    // not owned

    void Create() override;
    // Draws the image of the current state; answers the caption's x offset
    // (0 when nothing was drawn). The pressed flag is not used.
    virtual std::int32_t DrawImage(Drawing& surface, const RECT& item, bool pressed);
    // Owner-drawn painting: background, frame, image, caption and focus.
    void PaintItem(Drawing& surface, const DRAWITEMSTRUCT& item) override;

    static constexpr COLORREF DisabledFrameColor = RGB(0x69, 0x69, 0x69);
    static constexpr COLORREF DisabledTextColor = RGB(0x96, 0x96, 0x96);
    static constexpr std::int32_t ImageLeftMargin = 5;
    static constexpr std::int32_t IconSize = 32;

private:
    std::int32_t DrawBitmapImage(Drawing& surface, const RECT& item, HBITMAP bitmap);
    std::int32_t DrawIconImage(Drawing& surface, const RECT& item, HICON shownIcon);
};

// Vertical offset that centres a line of the context's current font in a box.
std::int32_t CaptionOffset(HDC context, std::int32_t boxHeight);

} // namespace NBUtility
