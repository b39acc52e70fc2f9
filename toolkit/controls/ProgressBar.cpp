#include "ProgressBar.h"

#include <commctrl.h>

namespace NBUtility {

ProgressBar::ProgressBar(GUIElement* parentElement) {
    width = 190;
    height = 25;
    parent = parentElement;
    typeName = "progressbar";
}

LPARAM ProgressBar::PackedRange(std::int32_t low, std::int32_t high) {
    return static_cast<LPARAM>(
        MAKELONG(static_cast<WORD>(low & 0xFFFF), static_cast<WORD>(high & 0xFFFF)));
}

std::int32_t ProgressBar::Clamped(std::int32_t candidate) const {
    if (candidate < minimum) {
        return minimum;
    }
    return candidate > maximum ? maximum : candidate;
}

void ProgressBar::Create() {
    if (created) {
        return;
    }
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    CreateControl(PROGRESS_CLASSW, PBS_SMOOTH | (border ? WS_BORDER : 0), 0, false);
    SendMessageW(window, PBM_SETRANGE, 0, PackedRange(minimum, maximum));
    SendMessageW(window, PBM_SETSTEP, 1, 0);
    value = Clamped(value);
    SendPosition();
}

void ProgressBar::SetValue(std::int32_t newValue) {
    RunOnWindowThread([&] {
        value = Clamped(newValue);
        if (created) {
            SendPosition();
        }
    });
}

std::int32_t ProgressBar::GetValue() {
    RunOnWindowThread([&] {
        if (window != nullptr) {
            value = static_cast<std::int32_t>(SendMessageW(window, PBM_GETPOS, 0, 0));
        }
    });
    return value;
}

} // namespace NBUtility
