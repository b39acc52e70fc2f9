#pragma once
// The system's high-contrast setting: while it is on, windows draw in the
// system's colours rather than their own.

#include <windows.h>

namespace NBUtility {

bool HighContrastOn();

// own, or the colour of the system's colour index while high contrast is on.
COLORREF ContrastColour(COLORREF own, int systemIndex);

} // namespace NBUtility
