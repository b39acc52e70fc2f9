#pragma once
// Font descriptor with a lazily created handle, and the text of the calling
// thread's last Win32 error.

#include <windows.h>

#include <cstdint>
#include <string>

namespace NBUtility {

class FontSpec {
public:
    FontSpec() = default;
    FontSpec(const std::string& narrowFaceName, std::int32_t cellHeight);
    ~FontSpec();
    FontSpec(const FontSpec&) = delete;
    FontSpec& operator=(const FontSpec&) = delete;

    // Creates the font on first use; later changes of the fields do not reach it.
    HFONT GetHandle();

    std::wstring faceName = L"System";
    std::int32_t size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool fixedPitch = false;

private:
    HFONT handle_ = nullptr;
};

// The system's message for GetLastError(), untrimmed; empty for 0 or when the
// system has no text. Call it right after the failing call, on the same thread.
std::string SystemErrorText();

} // namespace NBUtility
