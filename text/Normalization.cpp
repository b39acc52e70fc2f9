#include "Normalization.h"

#include "TextConversion.h"

#ifdef _WIN32
#include <windows.h>
#include <winnls.h>
#else
#include <cstdlib>
#include <uninorm.h>
#endif

namespace NBUtility {

#ifdef _WIN32

bool ComposeUtf8(const std::string& utf8, std::string& composed) {
    std::u16string characters;
    if (!Utf8ToUtf16(utf8, characters)) {
        return false;
    }
    if (characters.empty()) {
        composed.clear();
        return true;
    }
    const auto* source = reinterpret_cast<const wchar_t*>(characters.data());
    const int sourceLength = static_cast<int>(characters.size());
    int estimate = NormalizeString(NormalizationC, source, sourceLength, nullptr, 0);
    // The estimate may fall short; the call says so and gives a better one.
    for (int attempt = 0; attempt < 8 && estimate > 0; ++attempt) {
        std::u16string result(static_cast<std::size_t>(estimate), u'\0');
        const int written = NormalizeString(NormalizationC, source, sourceLength,
                                            reinterpret_cast<wchar_t*>(&result[0]), estimate);
        if (written > 0) {
            result.resize(static_cast<std::size_t>(written));
            composed = Utf16ToUtf8(result);
            return true;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return false;
        }
        estimate = -written;
    }
    return false;
}

#else

bool ComposeUtf8(const std::string& utf8, std::string& composed) {
    std::u16string characters;
    if (!Utf8ToUtf16(utf8, characters)) {
        return false;
    }
    std::size_t length = 0;
    auto* result = u8_normalize(UNINORM_NFC, reinterpret_cast<const std::uint8_t*>(utf8.data()),
                                utf8.size(), nullptr, &length);
    if (!result) {
        return false;
    }
    composed.assign(reinterpret_cast<const char*>(result), length);
    std::free(result);
    return true;
}

#endif

} // namespace NBUtility
