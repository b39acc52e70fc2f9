#include "AccessKeys.h"

#include "ElementRegistry.h"
#include "GUIElement.h"

#include <cwctype>
#include <iterator>

namespace NBUtility {

namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

std::wstring CaptionOf(HWND window) {
    std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(
        GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()))));
    return caption;
}

LONG StyleOf(HWND window) {
    return GetWindowLongW(window, GWL_STYLE);
}

bool IsLabel(HWND window) {
    return _wcsicmp(ClassOf(window).c_str(), L"Static") == 0 &&
           (StyleOf(window) & SS_NOPREFIX) == 0;
}

bool IsButton(HWND window) {
    return _wcsicmp(ClassOf(window).c_str(), L"Button") == 0 &&
           (StyleOf(window) & BS_TYPEMASK) != BS_GROUPBOX;
}

bool IsUsable(HWND window) {
    return IsWindowVisible(window) && IsWindowEnabled(window);
}

// Through the element when there is one: it may track its own focus.
void FocusOn(HWND window) {
    if (GUIElement* element = ElementRegistry::FindByWindow(window); element != nullptr) {
        element->Focus();
    } else {
        SetFocus(window);
    }
}

// The box a label stands in front of: the next sibling that takes the focus.
// A hidden or disabled box takes nothing; the key then does nothing.
void FocusBoxAfter(HWND label) {
    for (HWND next = GetWindow(label, GW_HWNDNEXT); next != nullptr;
         next = GetWindow(next, GW_HWNDNEXT)) {
        if ((StyleOf(next) & WS_TABSTOP) != 0) {
            if (IsUsable(next)) {
                FocusOn(next);
            }
            return;
        }
    }
}

void Act(HWND control) {
    if (IsLabel(control)) {
        FocusBoxAfter(control);
        return;
    }
    FocusOn(control);
    SendMessageW(control, BM_CLICK, 0, 0);
}

// Depth first in window order, as the dialog manager looks; hidden controls
// and their children are skipped.
HWND FindOwner(HWND parent, wchar_t key) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsUsable(child)) {
            continue;
        }
        if ((IsLabel(child) || IsButton(child)) && AccessKeyOf(CaptionOf(child)) == key) {
            return child;
        }
        if (HWND inner = FindOwner(child, key); inner != nullptr) {
            return inner;
        }
    }
    return nullptr;
}

bool UserWantsCues() {
    BOOL always = FALSE;
    return SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &always, 0) && always;
}

void ChangeCues(HWND topLevel, WORD action) {
    SendMessageW(topLevel, WM_CHANGEUISTATE, MAKEWPARAM(action, UISF_HIDEACCEL), 0);
}

} // namespace

wchar_t AccessKeyOf(const std::wstring& caption) {
    for (std::size_t at = 0; at + 1 < caption.size(); ++at) {
        if (caption[at] != L'&') {
            continue;
        }
        if (caption[at + 1] != L'&') {
            return static_cast<wchar_t>(std::towlower(caption[at + 1]));
        }
        ++at; // "&&" marks nothing
    }
    return 0;
}

std::wstring WithoutAccessKey(const std::wstring& caption) {
    std::wstring read;
    for (std::size_t at = 0; at < caption.size(); ++at) {
        if (caption[at] == L'&' && at + 1 < caption.size()) {
            ++at;
        }
        read += caption[at];
    }
    return read;
}

bool RunAccessKey(HWND root, wchar_t key) {
    if (root == nullptr || key == 0) {
        return false;
    }
    HWND owner = FindOwner(root, static_cast<wchar_t>(std::towlower(key)));
    if (owner == nullptr) {
        return false;
    }
    Act(owner);
    return true;
}

void InitializeAccessKeyCues(HWND topLevel) {
    if (!UserWantsCues()) {
        ChangeCues(topLevel, UIS_INITIALIZE);
    }
}

void ShowAccessKeyCues(HWND topLevel) {
    ChangeCues(topLevel, UIS_CLEAR);
}

void FollowAccessKeySetting(HWND topLevel) {
    ChangeCues(topLevel, UserWantsCues() ? UIS_CLEAR : UIS_SET);
}

} // namespace NBUtility
