#include "TabControl.h"

#include <commctrl.h>

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

} // namespace NBUtility
