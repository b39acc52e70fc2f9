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

std::string SystemErrorText() {
    const DWORD code = GetLastError();
    if (code == 0) {
        return {};
    }
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                            FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                        reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (buffer != nullptr) {
        text.assign(buffer, length);
        LocalFree(buffer);
    }
    return text;
}

} // namespace NBUtility
