#include "Menus.h"

#include "ElementRegistry.h"
#include "Form.h"
#include "TextConversion.h"

namespace NBUtility {

namespace {

void CreateAll(const std::vector<GUIElement*>& items) {
    for (GUIElement* item : items) {
        item->Create();
    }
}

const wchar_t* CaptionOrNone(const std::wstring& caption) {
    return caption.empty() ? nullptr : caption.c_str();
}

} // namespace

MenuBar::MenuBar(Form* form) {
    parent = form;
    typeName = "menubar";
}

void MenuBar::AddItem(GUIElement* item) {
    items.push_back(item);
    if (created) {
        item->Create();
    }
}

void MenuBar::Create() {
    if (parent == nullptr || parent->window == nullptr) {
        return;
    }
    menuHandle = CreateMenu();
    if (menuHandle == nullptr) {
        return;
    }
    CreateAll(items);
    SetMenu(parent->window, menuHandle);
    created = true;
}

Menu::Menu(const std::string& caption, MenuBar* bar) {
    text = ToWide(caption);
    parent = bar;
    typeName = "menu";
    if (bar != nullptr) {
        bar->AddItem(this);
    }
}

void Menu::AddItem(GUIElement* item) {
    items.push_back(item);
    if (created) {
        item->Create();
    }
}

void Menu::Create() {
    if (created) {
        return;
    }
    auto* bar = dynamic_cast<MenuBar*>(parent);
    if (bar == nullptr || bar->menuHandle == nullptr) {
        return;
    }
    menuHandle = CreateMenu();
    if (menuHandle == nullptr) {
        return;
    }
    CreateAll(items);
    created = AppendMenuW(bar->menuHandle, MF_POPUP, reinterpret_cast<UINT_PTR>(menuHandle),
                          text.c_str()) != FALSE;
}

SubMenu::SubMenu(GUIElement* parentElement, const std::string& caption) {
    text = ToWide(caption);
    parent = parentElement;
    typeName = "submenu";
    id = TakeNextControlId();
    if (auto* menu = dynamic_cast<Menu*>(parentElement); menu != nullptr) {
        menu->AddItem(this);
    } else if (auto* popup = dynamic_cast<SubMenu*>(parentElement); popup != nullptr) {
        popup->AddItem(this);
    }
}

void SubMenu::AddItem(GUIElement* item) {
    items.push_back(item);
    if (created) {
        item->Create();
    }
}

HMENU SubMenu::OwnerMenu() const {
    if (const auto* menu = dynamic_cast<const Menu*>(parent); menu != nullptr) {
        return menu->menuHandle;
    }
    if (const auto* popup = dynamic_cast<const SubMenu*>(parent); popup != nullptr) {
        return popup->popupHandle;
    }
    return nullptr;
}

void SubMenu::Create() {
    if (created) {
        return;
    }
    HMENU owner = OwnerMenu();
    if (owner == nullptr) {
        return;
    }
    if (IsPopup()) {
        popupHandle = CreatePopupMenu();
        if (popupHandle == nullptr) {
            return;
        }
        CreateAll(items);
        created = AppendMenuW(owner, MF_POPUP, reinterpret_cast<UINT_PTR>(popupHandle),
                              CaptionOrNone(text)) != FALSE;
    } else {
        created = AppendMenuW(owner, itemFlags, id, CaptionOrNone(text)) != FALSE;
        if (created && checkable) {
            CheckMenuItem(owner, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
        }
    }
    if (!created) {
        return;
    }
    if (!enabled) {
        SetEnabled(false);
    }
}

int SubMenu::PopupPosition(HMENU owner) const {
    const int count = GetMenuItemCount(owner);
    for (int position = 0; position < count; ++position) {
        if (GetSubMenu(owner, position) == popupHandle) {
            return position;
        }
    }
    return -1;
}

void SubMenu::SetEnabled(bool enable) {
    enabled = enable;
    HMENU owner = OwnerMenu();
    if (!created || owner == nullptr) {
        return;
    }
    const UINT state = enable ? MF_ENABLED : MF_GRAYED;
    if (!IsPopup()) {
        EnableMenuItem(owner, id, MF_BYCOMMAND | state);
        return;
    }
    // A pop-up sends no command: it is found by its own handle.
    const int position = PopupPosition(owner);
    if (position >= 0) {
        EnableMenuItem(owner, static_cast<UINT>(position), MF_BYPOSITION | state);
    }
}

bool SubMenu::GetChecked() {
    HMENU owner = OwnerMenu();
    if (!created || owner == nullptr) {
        return checked;
    }
    const UINT state = GetMenuState(owner, id, MF_BYCOMMAND);
    // -1: the item is not in the menu, which says nothing about its mark.
    if (state != static_cast<UINT>(-1)) {
        checked = (state & MF_CHECKED) != 0;
    }
    return checked;
}

void SubMenu::ApplyCheck() {
    HMENU owner = OwnerMenu();
    if (owner != nullptr) {
        CheckMenuItem(owner, id, MF_BYCOMMAND | (checked && checkable ? MF_CHECKED : MF_UNCHECKED));
    }
}

void SubMenu::BeforeClick() {
    if (!checkable) {
        return;
    }
    checked = !GetChecked();
    if (created) {
        ApplyCheck();
    }
}

} // namespace NBUtility
