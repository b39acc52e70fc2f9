#include "TextBox.h"

namespace NBUtility {

TextBox::TextBox(GUIElement* parentElement, const std::string& initialText)
    : Child(parentElement, initialText, "textbox") {}

DWORD TextBox::ComputeStyle() const {
    // Text boxes take part in tabbing whatever tabStop says.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (enabled ? 0 : WS_DISABLED);
    style |= (hScroll ? WS_HSCROLL : 0) | (vScroll ? WS_VSCROLL : 0);
    style |= (numeric ? ES_NUMBER : 0) | (border ? WS_BORDER : 0);
    if (multiLine) {
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | (wordWrap ? 0 : ES_AUTOHSCROLL);
    } else {
        style |= ES_AUTOHSCROLL;
    }
    style |= readOnly ? ES_READONLY : 0;
    if (upperCase) {
        style |= ES_UPPERCASE;
    } else if (lowerCase) {
        style |= ES_LOWERCASE;
    }
    if (alignRight) {
        style |= ES_RIGHT;
    } else if (alignCenter) {
        style |= ES_CENTER;
    }
    return style;
}

void TextBox::Create() {
    if (created) {
        return;
    }
    CreateControl(L"edit", ComputeStyle(), border ? WS_EX_CLIENTEDGE : 0, false);
    if (maxLength != NoLimit) {
        SendLimit();
    }
}

void TextBox::ApplyStyle() {
    RunOnWindowThread([&] {
        if (!created) {
            return;
        }
        // A hidden box stays hidden: the live visibility wins over the flags.
        const auto live = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
        const DWORD style =
            (ComputeStyle() & ~static_cast<DWORD>(WS_VISIBLE)) | (live & WS_VISIBLE);
        SetLastError(ERROR_SUCCESS);
        if (SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>(style)) == 0 &&
            GetLastError() != ERROR_SUCCESS) {
            return;
        }
        SendReadOnly();
        SendPasswordCharacter();
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    });
}

void TextBox::SetMaxLength(std::int32_t length) {
    RunOnWindowThread([&] {
        maxLength = length;
        if (created) {
            SendLimit();
        }
    });
}

void TextBox::SelectAll() {
    RunOnWindowThread([&] {
        if (created) {
            SendMessageW(window, EM_SETSEL, 0, -1);
        }
    });
}

} // namespace NBUtility
