#pragma once
// Narrow text is one byte per character (U+0001..U+00FF); wide text is UTF-16.
// The conversions involve no code page, so they never depend on the system's.

#include <cstdint>
#include <string>

namespace NBUtility {

// Each byte before the first zero byte becomes the code unit of the same value.
std::wstring ToWide(const std::string& narrow);

// Each code unit keeps its low byte; zero units inside the text are kept.
std::string ToNarrow(const std::wstring& wide);

// Whether every code unit has a narrow form (none beyond U+00FF); a text
// without one would name another file once narrowed.
bool HasNarrowForm(const std::wstring& wide);

// Signed decimal, no leading zeros, no grouping.
std::string Int64ToText(std::int64_t value);

} // namespace NBUtility
