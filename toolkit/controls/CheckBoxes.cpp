#include "CheckBoxes.h"

#include "ElementRegistry.h"

#include <algorithm>

namespace NBUtility {

CheckableButton::CheckableButton(GUIElement* parentElement, const std::string& caption,
                                 const char* kind)
    : Child(parentElement, caption, kind) {}

// Check and option boxes take part in tabbing whatever tabStop says.
void CheckableButton::CreateWithCheck(DWORD buttonStyle) {
    if (created) {
        return;
    }
    CreateControl(L"Button", buttonStyle | WS_TABSTOP, 0, false);
    ShowCheck(checked);
}

bool CheckableButton::GetChecked() {
    RunOnWindowThread([&] {
        if (created) {
            checked = IsCheckedLive();
        }
    });
    return checked;
}

void CheckableButton::SetChecked(bool on) {
    RunOnWindowThread([&] {
        checked = on;
        if (created) {
            ShowCheck(on);
        }
    });
}

CheckBox::CheckBox(GUIElement* parentElement, const std::string& caption)
    : CheckableButton(parentElement, caption, "checkbox") {}

void CheckBox::Create() {
    CreateWithCheck(BS_CHECKBOX | (multiLine ? BS_MULTILINE : 0));
}

void CheckBox::BeforeClick() {
    checked = !GetChecked();
    if (created) {
        ShowCheck(checked);
    }
}

OptionBox::OptionBox(GUIElement* parentElement, const std::string& caption)
    : CheckableButton(parentElement, caption, "optionbox") {}

void OptionBox::Create() {
    if (created) {
        return;
    }
    CreateWithCheck(BS_AUTORADIOBUTTON | (groupStart ? WS_GROUP : 0));
    if (checked) {
        UncheckGroupPeers();
    }
}

void OptionBox::SetChecked(bool on) {
    CheckableButton::SetChecked(on);
    if (on && created) {
        UncheckGroupPeers();
    }
}

std::vector<OptionBox*> OptionBox::GroupMembers() {
    std::vector<OptionBox*> siblings;
    for (GUIElement* element : ElementRegistry::Elements()) {
        auto* box = dynamic_cast<OptionBox*>(element);
        if (box != nullptr && box->created && box->window != nullptr && box->parent == parent) {
            siblings.push_back(box);
        }
    }
    // Ids grow with every creation, so they give the creation order.
    std::sort(siblings.begin(), siblings.end(),
              [](const OptionBox* a, const OptionBox* b) { return a->id < b->id; });
    const auto self = std::find(siblings.begin(), siblings.end(), this);
    if (self == siblings.end()) {
        return {};
    }
    auto first = self;
    while (first != siblings.begin() && !(*first)->groupStart) {
        --first;
    }
    auto last = std::next(self);
    while (last != siblings.end() && !(*last)->groupStart) {
        ++last;
    }
    return {first, last};
}

void OptionBox::UncheckGroupPeers() {
    for (OptionBox* peer : GroupMembers()) {
        if (peer != this) {
            peer->checked = false;
            peer->ShowCheck(false);
        }
    }
}

} // namespace NBUtility
