#pragma once
// The system's own words for an error code, from FormatMessageW (never the
// code-page variant), for every part of the project that asks Windows.

#include <string>

#include <windows.h>

namespace NBUtility {

// One line of UTF-8 without its full stop; "system error N" when the system
// has no words for it.
std::string SystemErrorText(DWORD code);

} // namespace NBUtility
