#include "Contrast.h"

#include <windows.h>

namespace NBUtility {

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) != FALSE &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

COLORREF ContrastColour(COLORREF own, int systemIndex) {
    return HighContrastOn() ? GetSysColor(systemIndex) : own;
}

} // namespace NBUtility
