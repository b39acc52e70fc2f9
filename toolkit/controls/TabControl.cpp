#include "TabControl.h"

#include <commctrl.h>

#include <cwchar>

namespace NBUtility {

TabControl::TabControl(GUIElement* parentElement) {
    parent = parentElement;
    typeName = "tabcontrol";
}

bool TabControl::AddTab(const std::wstring& caption) {
    tabCaptions.push_back(caption);
    if (!created) {
        return true;
    }
    return InsertTab(caption, tabCaptions.size() - 1);
}

bool TabControl::InsertTab(const std::wstring& caption, std::size_t index) {
    if (window == nullptr || !IsWindow(window)) {
        return false;
    }
    std::wstring shown = caption.substr(0, MaxCaptionLength);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = shown.data();
    const LRESULT inserted = SendMessageW(window, TCM_INSERTITEMW, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(&item));
    return inserted != -1;
}

void TabControl::Create() {
    if (created) {
        return;
    }
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
    // The strip takes part in tabbing whatever tabStop says.
    const bool wantedTabStop = tabStop;
    tabStop = true;
    CreateControl(WC_TABCONTROLW, 0, 0, true);
    tabStop = wantedTabStop;
    for (std::size_t index = 0; index < tabCaptions.size(); ++index) {
        InsertTab(tabCaptions[index], index);
    }
}

void TabControl::Select(std::int32_t index) {
    if (!created || index == CurrentSelection()) {
        return;
    }
    SendMessageW(window, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (onSelectionChanged && CurrentSelection() == index) {
        onSelectionChanged(this, index);
    }
}

void TabControl::OnNotify(std::int32_t kind, std::vector<std::int32_t>, std::vector<std::string>) {
    if (kind == NotifySelectionChanged && created && onSelectionChanged) {
        onSelectionChanged(this, CurrentSelection());
    }
}

namespace {
// Controls that paint their own background with the brush they are handed;
// edit boxes (even read-only or disabled ones) keep theirs.
bool ShowsPageBehind(HWND control) {
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    if (_wcsicmp(className, L"Static") == 0) {
        return true;
    }
    if (_wcsicmp(className, L"Button") != 0) {
        return false;
    }
    const LONG_PTR kind = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    return kind != BS_PUSHBUTTON && kind != BS_DEFPUSHBUTTON && kind != BS_OWNERDRAW;
}
} // namespace

HBRUSH TabControl::OnChildColor(HDC deviceContext, HWND control) {
    if (control == nullptr || !ShowsPageBehind(control)) {
        return OnControlColor(deviceContext);
    }
    HBRUSH brush = PageBrush();
    if (brush == nullptr) {
        return OnControlColor(deviceContext);
    }
    // The brush is the whole strip: its origin goes where the strip's is.
    POINT origin{0, 0};
    MapWindowPoints(control, window, &origin, 1);
    SetBrushOrgEx(deviceContext, -origin.x, -origin.y, nullptr);
    SetBkMode(deviceContext, TRANSPARENT);
    SetTextColor(deviceContext, GetSysColor(COLOR_BTNTEXT));
    return brush;
}

void TabControl::OnColorsChanged() {
    pageBrush.Reset();
    pagePicture.Reset();
    pageSize = SIZE{};
    if (window != nullptr) {
        InvalidateRect(window, nullptr, TRUE);
    }
}

HBRUSH TabControl::PageBrush() {
    RECT client{};
    if (window == nullptr || !GetClientRect(window, &client) || client.right <= 0 ||
        client.bottom <= 0) {
        return nullptr;
    }
    if (pageBrush && pageSize.cx == client.right && pageSize.cy == client.bottom) {
        return pageBrush.Get();
    }
    WindowContext screen(window);
    MemoryContext memory(screen.Get());
    GdiObject<HBITMAP> picture(CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
    if (!picture || memory.Get() == nullptr) {
        return nullptr;
    }
    {
        SelectedObject selected(memory.Get(), picture.Get());
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()),
                     PRF_CLIENT | PRF_ERASEBKGND);
    }
    GdiObject<HBRUSH> brush(CreatePatternBrush(picture.Get()));
    if (!brush) {
        return nullptr;
    }
    pageBrush.Reset(brush.Release());
    pagePicture.Reset(picture.Release());
    pageSize = SIZE{client.right, client.bottom};
    return pageBrush.Get();
}

} // namespace NBUtility
