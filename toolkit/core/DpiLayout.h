#pragma once
// A window's layout drawn for 96 DPI and shown at the DPI of its monitor:
// every rectangle and font scaled by dpi / 96, and again when the window
// moves to a monitor of another DPI.

#include <windows.h>

#include <cstdint>
#include <vector>

namespace NBUtility {

class FontSpec;
class GUIElement;

constexpr std::int32_t designDpi = 96;

// The DPI of the window's monitor; the system's when the system cannot say
// per window (before Windows 10).
std::int32_t DpiOfWindow(HWND window);

class DpiLayout {
public:
    std::int32_t Dpi() const { return dpi_; }
    // Design pixels at the current DPI.
    std::int32_t Scale(std::int32_t designPixels) const;
    // Pixels at the current DPI back in design pixels, rounded up so that a
    // measured text still fits once scaled again.
    std::int32_t Unscale(std::int32_t pixels) const;

    // Places the element at the design rectangle, scaled, and keeps the
    // rectangle for later changes of DPI. Not owned.
    void Place(GUIElement& element, std::int32_t left, std::int32_t top, std::int32_t width,
               std::int32_t height);
    // A font made at the layout's DPI from now on. Not owned.
    void AddFont(FontSpec& font);
    // Forgets every element and font, for a window whose controls are gone.
    void Clear();

    // Makes every font anew and moves every element for the new DPI; each
    // element is then given its font again.
    void Rescale(std::int32_t newDpi);

private:
    void PlaceScaled(GUIElement& element, const RECT& design) const;

    struct Placed {
        GUIElement* element;
        RECT design;
    };
    std::vector<Placed> placed_;
    std::vector<FontSpec*> fonts_;
    std::int32_t dpi_ = designDpi;
};

} // namespace NBUtility
