#pragma once
// Font descriptor with a lazily created handle, and the text of the calling
// thread's last Win32 error.

#include <windows.h>

#include "GdiHandles.h"

#include <cstdint>
#include <string>

namespace NBUtility {

class FontSpec {
public:
    FontSpec() = default;
    FontSpec(const std::string& narrowFaceName, std::int32_t cellHeight);
    FontSpec(const FontSpec&) = delete;
    FontSpec& operator=(const FontSpec&) = delete;

    // Creates the font on first use; later changes of the fields do not reach it.
    HFONT GetHandle();
    // The font is made again, size scaled from 96 DPI to dpi, at its next
    // use. The handle in use so far stays valid until the next change or the
    // descriptor's end, as windows may still hold it until they are told.
    void SetDpi(std::int32_t newDpi);
    std::int32_t Dpi() const { return dpi_; }

    std::wstring faceName = L"System";
    std::int32_t size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool fixedPitch = false;

private:
    GdiObject<HFONT> handle_;
    GdiObject<HFONT> retired_; // the one before the last change
    std::int32_t dpi_ = 96;
};

} // namespace NBUtility
