#pragma once
// Static text.

#include "GUIElement.h"

#include <string>

namespace NBUtility {

class Label : public Child {
public:
    Label(GUIElement* parentElement, const std::string& caption);

    bool border = false;
    bool alignRight = false; // wins over alignCenter
    bool alignCenter = false;

    void Create() override;
    DWORD ComputeStyle() const;
};

} // namespace NBUtility
