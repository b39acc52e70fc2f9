#include "FontSpec.h"

#include "TextConversion.h"

namespace NBUtility {

FontSpec::FontSpec(const std::string& narrowFaceName, std::int32_t cellHeight)
    : faceName(ToWide(narrowFaceName)), size(cellHeight) {}

void FontSpec::SetDpi(std::int32_t newDpi) {
    if (newDpi <= 0 || newDpi == dpi_) {
        return;
    }
    dpi_ = newDpi;
    if (handle_) {
        retired_.Reset(handle_.Release());
    }
}

HFONT FontSpec::GetHandle() {
    if (!handle_) {
        handle_.Reset(CreateFontW(MulDiv(size, dpi_, 96), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL,
                                  italic, underline, FALSE, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS,
                                  CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  fixedPitch ? FIXED_PITCH : DEFAULT_PITCH, faceName.c_str()));
    }
    return handle_.Get();
}

} // namespace NBUtility
