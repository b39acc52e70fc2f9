// Keys of the main window: Enter in a text box runs START, Ctrl+Tab and
// Ctrl+Shift+Tab move to the other tab. While a job exists neither acts: STOP
// stays a deliberate click, and the tabs would change the request under it.

#include "ElementRegistry.h"
#include "FormMain.h"

namespace MyGame {

using namespace NBUtility;

namespace {

bool IsHeld(int virtualKey) {
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

bool IsLineBreak(std::int32_t character) {
    return character == L'\r' || character == L'\n';
}

// The elements whose windows lie in root, root's own included: a key goes to
// whichever of them has the focus.
std::vector<GUIElement*> ElementsWithin(HWND root) {
    std::vector<GUIElement*> within;
    for (GUIElement* element : ElementRegistry::Elements()) {
        HWND own = element->window;
        if (own != nullptr && (own == root || IsChild(root, own))) {
            within.push_back(element);
        }
    }
    return within;
}

} // namespace

void FormMain::BindKeys() {
    for (GUIElement* element : ElementsWithin(window)) {
        element->onKeyDown = [this](GUIElement*, std::int32_t key) {
            OnWindowKey(key);
            return 0;
        };
    }
    for (TextBox* box : {sourceBox.get(), destBox.get(), passwordBox.get(), confirmBox.get()}) {
        box->onKeyDown = [this](GUIElement*, std::int32_t key) {
            if (key == VK_RETURN) {
                OnEnterInBox();
            } else {
                OnWindowKey(key);
            }
            return 0;
        };
        // A single-line box would only beep at it.
        box->onChar = [](GUIElement*, std::int32_t character) { return !IsLineBreak(character); };
    }
}

void FormMain::OnEnterInBox() {
    if (!JobExists()) {
        OnStartButton();
    }
}

void FormMain::OnWindowKey(std::int32_t key) {
    if (key == VK_TAB && IsHeld(VK_CONTROL) && !JobExists()) {
        ShowNeighbourTab(IsHeld(VK_SHIFT) ? -1 : 1);
    }
}

// step 1 is the next tab, -1 the previous one; past either end it wraps.
void FormMain::ShowNeighbourTab(std::int32_t step) {
    const auto count = static_cast<std::int32_t>(modeTabs->tabCaptions.size());
    if (count < 2) {
        return;
    }
    const std::int32_t next = ((modeTabs->CurrentSelection() + step) % count + count) % count;
    modeTabs->Select(next);
    sourceBox->Focus();
}

} // namespace MyGame
