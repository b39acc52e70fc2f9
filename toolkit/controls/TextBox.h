#pragma once
// The standard "edit" control, configured by flags that can be re-applied to
// the live window (how a password field switches between masked and clear).

#include "GUIElement.h"

#include <cstdint>
#include <string>

namespace NBUtility {

class TextBox : public Child {
public:
    TextBox(GUIElement* parentElement, const std::string& initialText);

    static constexpr std::int32_t NoLimit = -1;
    static constexpr wchar_t PasswordCharacter = L'*';

    std::int32_t maxLength = NoLimit;
    bool multiLine = false;
    bool hScroll = false;
    bool vScroll = false;
    bool readOnly = false;
    bool numeric = false;
    bool password = false; // applied by ApplyStyle only
    bool lowerCase = false;
    bool upperCase = false;
    bool alignRight = false;
    bool alignCenter = false;
    bool border = true;
    bool wordWrap = false;

    void Create() override;
    DWORD ComputeStyle() const;
    // Re-applies the flags to the live window; nothing before Create.
    void ApplyStyle();
    void SetMaxLength(std::int32_t length);
    void SelectAll();

private:
    void SendLimit() { SendMessageW(window, EM_LIMITTEXT, static_cast<WPARAM>(maxLength), 0); }
    void SendReadOnly() { SendMessageW(window, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0); }
    void SendPasswordCharacter() {
        SendMessageW(window, EM_SETPASSWORDCHAR, password ? PasswordCharacter : 0, 0);
    }
};

} // namespace NBUtility
