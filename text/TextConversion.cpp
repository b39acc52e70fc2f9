#include "TextConversion.h"

#include <cinttypes>
#include <cstdio>

namespace NBUtility {

std::wstring ToWide(const std::string& narrow) {
    std::wstring wide;
    for (char c : narrow) {
        if (c == '\0') {
            break;
        }
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return wide;
}

std::string ToNarrow(const std::wstring& wide) {
    std::string narrow;
    narrow.reserve(wide.size());
    for (wchar_t unit : wide) {
        narrow.push_back(static_cast<char>(static_cast<unsigned>(unit) & 0xFFu));
    }
    return narrow;
}

bool HasNarrowForm(const std::wstring& wide) {
    for (wchar_t unit : wide) {
        if (static_cast<unsigned>(unit) > 0xFFu) {
            return false;
        }
    }
    return true;
}

std::string Int64ToText(std::int64_t value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%" PRId64, value);
    return buffer;
}

} // namespace NBUtility
