#include "TextConversion.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace NBUtility {

std::string Int64ToText(std::int64_t value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%" PRId64, value);
    return buffer;
}

namespace {
constexpr char32_t replacement = 0xFFFD;

// The length of the sequence a lead byte starts, 0 for a byte that cannot.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

bool DecodeUtf8(const std::string& utf8, std::vector<char32_t>& points) {
    points.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = SequenceLength(lead);
        if (length == 0 || i + static_cast<std::size_t>(length) > utf8.size()) {
            return false;
        }
        char32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            point = (point << 6) | (next & 0x3F);
        }
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < smallest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
            return false;
        }
        points.push_back(point);
        i += static_cast<std::size_t>(length);
    }
    return true;
}

void AppendUtf16(char32_t point, std::u16string& utf16) {
    if (point < 0x10000) {
        utf16.push_back(static_cast<char16_t>(point));
        return;
    }
    point -= 0x10000;
    utf16.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
    utf16.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
}

void AppendUtf8(char32_t point, std::string& utf8) {
    if (point < 0x80) {
        utf8.push_back(static_cast<char>(point));
    } else if (point < 0x800) {
        utf8.push_back(static_cast<char>(0xC0 | (point >> 6)));
        utf8.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else if (point < 0x10000) {
        utf8.push_back(static_cast<char>(0xE0 | (point >> 12)));
        utf8.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        utf8.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else {
        utf8.push_back(static_cast<char>(0xF0 | (point >> 18)));
        utf8.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
        utf8.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        utf8.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    }
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::u16string Utf16OfBytes(const std::string& bytes, std::size_t from, bool bigEndian) {
    std::u16string units;
    for (std::size_t i = from; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(
            static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
    }
    return units;
}

template <typename Text> Text FirstLine(const Text& text) {
    std::size_t end = 0;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') {
        ++end;
    }
    return text.substr(0, end);
}
} // namespace

bool Utf8ToUtf16(const std::string& utf8, std::u16string& utf16) {
    utf16.clear();
    std::vector<char32_t> points;
    if (!DecodeUtf8(utf8, points)) {
        return false;
    }
    for (char32_t point : points) {
        AppendUtf16(point, utf16);
    }
    return true;
}

std::string Utf16ToUtf8(const std::u16string& utf16) {
    std::string utf8;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t unit = utf16[i];
        if (IsHighSurrogate(unit) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00), utf8);
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(replacement, utf8);
        } else {
            AppendUtf8(unit, utf8);
        }
    }
    return utf8;
}

namespace {
std::u16string Latin1Characters(const std::string& bytes) {
    std::u16string characters;
    for (char c : bytes) {
        characters.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
    return characters;
}

bool AllLatin1(const std::u16string& characters) {
    return std::all_of(characters.begin(), characters.end(),
                       [](char16_t unit) { return unit >= 0x01 && unit <= 0xFF; });
}
} // namespace

std::string StoredNameOf(const std::u16string& name) {
    return AllLatin1(name) ? PasswordBytes(name) : Utf16ToUtf8(name);
}

std::u16string NameOfStored(const std::string& stored) {
    std::u16string decoded;
    if (Utf8ToUtf16(stored, decoded) && !AllLatin1(decoded)) {
        return decoded;
    }
    return Latin1Characters(stored);
}

std::u16string CharactersOfUtf8Name(const std::string& name) {
    std::u16string decoded;
    return Utf8ToUtf16(name, decoded) ? decoded : Latin1Characters(name);
}

std::wstring ToWide(const std::string& narrow) {
    const std::u16string characters = CharactersOfUtf8Name(narrow.substr(0, narrow.find('\0')));
    return std::wstring(characters.begin(), characters.end());
}

std::string ToNarrow(const std::wstring& wide) {
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::string PasswordBytes(const std::u16string& typed) {
    std::string bytes;
    for (char16_t unit : typed) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
    }
    return bytes;
}

std::string PasswordBytesOfUtf8(const std::string& typed) {
    std::u16string units;
    return Utf8ToUtf16(typed, units) ? PasswordBytes(units) : typed;
}

std::string PasswordBytesOfFile(const std::string& contents) {
    return PasswordBytesOfUtf8(PasswordTextOfFile(contents));
}

std::string PasswordTextOfUtf8(const std::string& typed) {
    std::u16string units;
    return Utf8ToUtf16(typed, units) ? typed : Utf16ToUtf8(CharactersOfUtf8Name(typed));
}

std::string PasswordTextOfFile(const std::string& contents) {
    const auto starts = [&](const char* mark) { return contents.rfind(mark, 0) == 0; };
    if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
        return Utf16ToUtf8(FirstLine(Utf16OfBytes(contents, 2, starts("\xFE\xFF"))));
    }
    const std::size_t from = starts("\xEF\xBB\xBF") ? 3 : 0;
    return PasswordTextOfUtf8(FirstLine(contents.substr(from)));
}

} // namespace NBUtility
