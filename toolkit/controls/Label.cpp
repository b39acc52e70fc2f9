#include "Label.h"

namespace NBUtility {

Label::Label(GUIElement* parentElement, const std::string& caption)
    : Child(parentElement, caption, "label") {}

DWORD Label::ComputeStyle() const {
    DWORD style = SS_NOTIFY | (border ? WS_BORDER : 0);
    if (alignRight) {
        style |= SS_RIGHT;
    } else if (alignCenter) {
        style |= SS_CENTER;
    }
    return style;
}

void Label::Create() {
    CreateControl(L"static", ComputeStyle(), border ? WS_EX_CLIENTEDGE : 0, false);
}

} // namespace NBUtility
