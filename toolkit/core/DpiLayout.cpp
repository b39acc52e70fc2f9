#include "DpiLayout.h"

#include <algorithm>

#include "FontSpec.h"
#include "GUIElement.h"
#include "GdiHandles.h"

namespace NBUtility {

std::int32_t DpiOfWindow(HWND window) {
    // Looked up, not imported: Windows 7 and 8 lack it.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (dpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = dpiForWindow(window);
        if (dpi != 0) {
            return static_cast<std::int32_t>(dpi);
        }
    }
    const WindowContext screen(nullptr);
    const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : designDpi;
}

std::int32_t DpiLayout::Scale(std::int32_t designPixels) const {
    return MulDiv(designPixels, dpi_, designDpi);
}

std::int32_t DpiLayout::Unscale(std::int32_t pixels) const {
    return (pixels * designDpi + dpi_ - 1) / dpi_;
}

void DpiLayout::Place(GUIElement& element, std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height) {
    const RECT design{left, top, left + width, top + height};
    const auto known = std::find_if(placed_.begin(), placed_.end(),
                                    [&](const Placed& entry) { return entry.element == &element; });
    if (known != placed_.end()) {
        known->design = design;
    } else {
        placed_.push_back({&element, design});
    }
    PlaceScaled(element, design);
}

// Edges are scaled, not sizes, so that controls that meet still meet.
void DpiLayout::PlaceScaled(GUIElement& element, const RECT& design) const {
    const std::int32_t left = Scale(design.left);
    const std::int32_t top = Scale(design.top);
    element.SetBounds(left, top, Scale(design.right) - left, Scale(design.bottom) - top);
}

void DpiLayout::AddFont(FontSpec& font) {
    if (std::find(fonts_.begin(), fonts_.end(), &font) == fonts_.end()) {
        fonts_.push_back(&font);
    }
    font.SetDpi(dpi_);
}

void DpiLayout::Clear() {
    placed_.clear();
    fonts_.clear();
}

void DpiLayout::Rescale(std::int32_t newDpi) {
    if (newDpi <= 0) {
        return;
    }
    dpi_ = newDpi;
    for (FontSpec* font : fonts_) {
        font->SetDpi(dpi_);
    }
    for (const Placed& entry : placed_) {
        PlaceScaled(*entry.element, entry.design);
        entry.element->ApplyFont();
    }
}

} // namespace NBUtility
