#pragma once
// A child window of the toolkit's own class that groups elements, colours the
// standard controls on it and scrolls its content with bars and the wheel.

#include "GUIElement.h"
#include "GdiHandles.h"

#include <cstdint>
#include <functional>
#include <string>

namespace NBUtility {

class PanelChildren;
// delta = old position - requested position.
using ScrollHandler = std::function<void(PanelChildren* panel, std::int32_t delta)>;

class PanelChildren : public Child {
public:
    explicit PanelChildren(GUIElement* parentElement);
    ~PanelChildren() override;

    bool colourChildren = true;
    ScrollHandler onVerticalScroll;
    ScrollHandler onHorizontalScroll;
    bool border = false;
    bool flat = false; // with border: no sunken edge
    bool verticalScroll = false;
    bool horizontalScroll = false;
    std::int32_t scrollMin = 0;
    std::int32_t scrollMax = 100;
    bool panelTabStop = true;
    GdiObject<HBRUSH> childBrush; // the brush last handed to a control
    COLORREF childTextColor = NoColor;
    COLORREF childBackColor = NoColor;
    bool floating = false; // a top-level tool window instead of a child

    void Create() override;
    HBRUSH OnControlColor(HDC deviceContext) override;
    std::int32_t OnDestroyed() override;
    void SetScrollRange(std::int32_t minimum, std::int32_t maximum);

    // A tenth of the range, never negative.
    static std::int32_t PageFor(std::int32_t minimum, std::int32_t maximum);
    DWORD PanelStyle() const;
    DWORD PanelExtendedStyle() const;
    const std::wstring& ClassName() const { return className_; }

private:
    void RegisterPanelClass();
    void RetirePanelClass();

    std::wstring className_;
    HINSTANCE classInstance_ = nullptr;
};

// The panel side of the window procedure: scroll bars, the wheel, activation
// of floating panels and the panel that receives the wheel. Answers true with
// the result when the message is consumed.
bool RoutePanelMessage(GUIElement* element, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result);

// Drops the routing's references to an element that is going away.
void ForgetPanel(const GUIElement* element);

} // namespace NBUtility
