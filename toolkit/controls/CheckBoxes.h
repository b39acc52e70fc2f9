#pragma once
// Two-state buttons: the check box, whose state the toolkit toggles on every
// notification, and the option box, a radio button within a group.

#include "GUIElement.h"

#include <string>
#include <vector>

namespace NBUtility {

// The state shared by check boxes and option boxes.
class CheckableButton : public Child, public CommandElement {
public:
    bool checked = false;

    // The live state once created (stored into checked), else the stored one.
    bool GetChecked();
    virtual void SetChecked(bool on);

protected:
    CheckableButton(GUIElement* parentElement, const std::string& caption, const char* kind);
    void CreateWithCheck(DWORD buttonStyle);
    void ShowCheck(bool on) {
        SendMessageW(window, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    bool IsCheckedLive() { return SendMessageW(window, BM_GETCHECK, 0, 0) != BST_UNCHECKED; }
};

class CheckBox : public CheckableButton {
public:
    CheckBox(GUIElement* parentElement, const std::string& caption);

    bool multiLine = false;

    void Create() override;
    // The non-automatic style leaves the toggling to the toolkit.
    void BeforeClick() override;
};

class OptionBox : public CheckableButton {
public:
    OptionBox(GUIElement* parentElement, const std::string& caption);

    bool groupStart = false;

    void Create() override;
    // Checking one box from code unchecks the others of its group.
    void SetChecked(bool on) override;

    // The created option boxes of this box's group, in creation order.
    std::vector<OptionBox*> GroupMembers();

private:
    void UncheckGroupPeers();
};

} // namespace NBUtility
