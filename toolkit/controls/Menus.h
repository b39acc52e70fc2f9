#pragma once
// A form's menu bar as a tree of elements, turned into native menus by one
// Create on the bar. Menu elements keep their menu handles in fields of their
// own: they have no window.

#include "GUIElement.h"

#include <cstdint>
#include <string>
#include <vector>

namespace NBUtility {

class Form;

class MenuBar : public Child {
public:
    explicit MenuBar(Form* form);

    std::vector<GUIElement*> items; // not owned
    HMENU menuHandle = nullptr;

    void AddItem(GUIElement* item);
    void Create() override;
};

class Menu : public Child {
public:
    Menu(const std::string& caption, MenuBar* bar);

    std::vector<GUIElement*> items; // not owned
    HMENU menuHandle = nullptr;

    void AddItem(GUIElement* item);
    void Create() override;
};

class SubMenu : public Child, public CommandElement {
public:
    SubMenu(GUIElement* parentElement, const std::string& caption);

    std::vector<GUIElement*> items; // not owned; non-empty makes a nested pop-up
    HMENU popupHandle = nullptr;
    UINT itemFlags = MF_STRING;
    bool checkable = false;
    bool checked = false;

    void AddItem(GUIElement* item);
    void Create() override;
    void SetEnabled(bool enable) override;
    bool GetChecked();
    void ApplyCheck();
    // A checkable item inverts its mark before onClick runs.
    void BeforeClick() override;

    // The menu that holds this item, or null.
    HMENU OwnerMenu() const;
    bool IsPopup() const { return !items.empty(); }

private:
    // The pop-up's position in its owner menu, or -1.
    int PopupPosition(HMENU owner) const;
};

} // namespace NBUtility
