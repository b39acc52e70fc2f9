#pragma once
// Unicode Normalization Form C, from the system: Windows' own NormalizeString,
// libunistring elsewhere. A password typed with decomposed accents must give
// the bytes of its composed form.

#include <string>

namespace NBUtility {

// False for text that is not valid UTF-8 or that the system cannot normalise.
bool ComposeUtf8(const std::string& utf8, std::string& composed);

} // namespace NBUtility
