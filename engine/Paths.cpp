#include "Paths.h"

#include "PlatformFiles.h"
#include "TextConversion.h"

namespace NBEngine {

namespace {
bool IsWhiteSpace(char c) {
    return c == ' ' || (c >= '\x09' && c <= '\x0D');
}
} // namespace

std::string DirectoryOf(const std::string& path) {
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (Platform::IsSeparator(path[i])) {
            last = i;
        }
    }
    if (last == std::string::npos && Platform::drivesInPaths) {
        last = path.rfind(':');
    }
    if (last == std::string::npos) {
        return std::string();
    }
    // Answered with the platform's own separator throughout.
    std::string directory = path.substr(0, last + 1);
    for (char& c : directory) {
        if (Platform::IsSeparator(c)) {
            c = Platform::preferredSeparator;
        }
    }
    return directory;
}

std::string FileNameOf(const std::string& path) {
    return path.substr(DirectoryOf(path).size());
}

std::string WithTrailingSeparator(const std::string& text) {
    if (text.empty() || Platform::IsSeparator(text.back())) {
        return text;
    }
    return text + Platform::preferredSeparator;
}

std::string ChangeExtension(const std::string& path, const std::string& extension) {
    std::string suffix = extension;
    if (suffix.find('.') == std::string::npos) {
        suffix = "." + suffix;
    }
    std::string base = path;
    const std::size_t dot = base.rfind('.');
    if (dot != std::string::npos) {
        const std::string tail = ToLower(base.substr(dot));
        if (tail == ToLower(suffix)) {
            suffix.clear();
        } else if (tail.size() <= 5) {
            base.erase(dot);
        }
    }
    return base + suffix;
}

std::string ChangeNameExtension(const std::string& path, const std::string& extension) {
    const std::string name = FileNameOf(path);
    return path.substr(0, path.size() - name.size()) + ChangeExtension(name, extension);
}

namespace {
bool IsForbiddenNameCharacter(unsigned char c) {
    return c < 0x20 || c == 0x7F ||
           std::string("\\/:<>\"|?*").find(static_cast<char>(c)) != std::string::npos;
}

bool IsDeviceName(const std::string& name) {
    std::string base = ToUpper(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (base == device) {
            return true;
        }
    }
    if (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0) {
        return false;
    }
    // A digit, or a superscript one, two or three in Latin-1 or in UTF-8.
    const std::string number = base.substr(3);
    for (const char* suffix : {"\xB9", "\xB2", "\xB3", "\xC2\xB9", "\xC2\xB2", "\xC2\xB3"}) {
        if (number == suffix) {
            return true;
        }
    }
    return number.size() == 1 && number[0] >= '0' && number[0] <= '9';
}
} // namespace

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ') {
        return false;
    }
    for (char c : name) {
        if (IsForbiddenNameCharacter(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return !IsDeviceName(name);
}

std::string StoredFormOfName(const std::string& localName) {
    return NBUtility::StoredNameOf(Platform::CharactersOfPath(localName));
}

bool LocalFormOfStoredName(const std::string& stored, std::string& localName) {
    return Platform::PathOfCharacters(NBUtility::NameOfStored(stored), localName);
}

bool FileExists(const std::string& path) {
    return Platform::PathExists(path);
}

std::int64_t FileSize(const std::string& path) {
    std::int64_t size = 0;
    return Platform::RegularFileSize(path, size) ? size : 0;
}

std::string Trim(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsWhiteSpace(text[first])) {
        ++first;
    }
    while (last > first && IsWhiteSpace(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

std::string ToUpper(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}

std::string ToLower(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

std::string ReplaceChar(const std::string& text, char from, char to) {
    std::string result = text;
    for (char& c : result) {
        if (c == from) {
            c = to;
        }
    }
    return result;
}

std::string ReplaceAll(const std::string& text, const std::string& searched,
                       const std::string& replacement) {
    if (searched.empty()) {
        return text;
    }
    std::string result = text;
    // Searching from the start every round would never end when the
    // replacement brings the searched text back; then one pass is made.
    const bool restartEachRound = replacement.find(searched) == std::string::npos;
    std::size_t at = result.find(searched);
    while (at != std::string::npos) {
        result.replace(at, searched.size(), replacement);
        at = restartEachRound ? result.find(searched)
                              : result.find(searched, at + replacement.size());
    }
    return result;
}

} // namespace NBEngine
