#include "PanelChildren.h"

#include "ElementRegistry.h"
#include "Form.h"
#include "TextConversion.h"
#include "WindowProcedure.h"

#include <algorithm>
#include <climits>

namespace NBUtility {

PanelChildren::PanelChildren(GUIElement* parentElement) {
    parent = parentElement;
    typeName = "panel";
}

PanelChildren::~PanelChildren() {
    RetirePanelClass();
    ReleaseRetiredWindowClasses();
}

std::int32_t PanelChildren::PageFor(std::int32_t minimum, std::int32_t maximum) {
    const std::int64_t page =
        (static_cast<std::int64_t>(maximum) - static_cast<std::int64_t>(minimum)) / 10;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(page, 0, INT32_MAX));
}

DWORD PanelChildren::PanelStyle() const {
    // A floating panel is a top-level tool window with its own small caption.
    DWORD style = floating ? WS_OVERLAPPED : WS_CHILD;
    style |= panelTabStop ? WS_TABSTOP : 0;
    style |= enabled ? 0 : WS_DISABLED;
    style |= border ? WS_BORDER : 0;
    style |= horizontalScroll ? WS_HSCROLL : 0;
    style |= verticalScroll ? WS_VSCROLL : 0;
    return style;
}

DWORD PanelChildren::PanelExtendedStyle() const {
    DWORD extended = floating ? (WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME) : 0;
    return extended | ((border && !flat) ? WS_EX_CLIENTEDGE : 0);
}

void PanelChildren::RegisterPanelClass() {
    id = TakeNextControlId();
    className_ = L"PanelChildren" + ToWide(Int64ToText(static_cast<std::int64_t>(id) - 1));
    classInstance_ = parent != nullptr ? parent->windowClass.hInstance : nullptr;
    if (classInstance_ == nullptr) {
        classInstance_ = GetModuleHandleW(nullptr);
    }
    windowClass.style = CS_DBLCLKS;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = classInstance_;
    // A brush of the class's own goes with the class when it is unregistered.
    GdiObject<HBRUSH> ownBrush(backColor != NoColor ? CreateSolidBrush(backColor) : nullptr);
    windowClass.hbrBackground = ownBrush ? ownBrush.Get() : GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = nullptr;
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className_.c_str();
    if (RegisterClassW(&windowClass) != 0) {
        ownBrush.Release();
    } else if (ownBrush) {
        windowClass.hbrBackground = nullptr;
    }
}

void PanelChildren::RetirePanelClass() {
    if (className_.empty()) {
        return;
    }
    RetireWindowClass(className_, classInstance_);
    className_.clear();
    windowClass.lpszClassName = nullptr;
}

void PanelChildren::Create() {
    if (created) {
        return;
    }
    ReleaseRetiredWindowClasses();
    RegisterPanelClass();
    HWND parentWindow = (!floating && parent != nullptr) ? parent->window : nullptr;
    const auto childId = floating ? nullptr : reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
    {
        ElementRegistry::CreationScope creating(this);
        // Made hidden: created is set before the first paint.
        HWND made =
            CreateWindowExW(PanelExtendedStyle(), className_.c_str(), text.c_str(), PanelStyle(), x,
                            y, width, height, parentWindow, childId, nullptr, nullptr);
        if (window == nullptr) {
            window = made;
        }
    }
    if (window == nullptr) {
        return;
    }
    created = true;
    if (!floating) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }
    if (onCreated) {
        onCreated(this, window);
    }
    SetScrollRange(scrollMin, scrollMax);
    AttachTooltip(window, this);
    ApplyFont();
}

std::int32_t PanelChildren::OnDestroyed() {
    RetirePanelClass();
    return GUIElement::OnDestroyed();
}

void PanelChildren::SetScrollRange(std::int32_t minimum, std::int32_t maximum) {
    scrollMin = minimum;
    scrollMax = maximum;
    if (!created) {
        return;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = minimum;
    info.nMax = maximum;
    info.nPage = static_cast<UINT>(PageFor(minimum, maximum));
    if (verticalScroll) {
        SetScrollInfo(window, SB_VERT, &info, TRUE);
    }
    if (horizontalScroll) {
        SetScrollInfo(window, SB_HORZ, &info, TRUE);
    }
}

HBRUSH PanelChildren::OnControlColor(HDC deviceContext) {
    if (!colourChildren) {
        return nullptr;
    }
    childBrush.Reset();
    // Left selected: the control draws its text with it on this borrowed context.
    if (font != nullptr) {
        SelectObject(deviceContext, font->GetHandle());
    }
    HBRUSH brush = nullptr;
    if (childBackColor != NoColor) {
        SetBkColor(deviceContext, childBackColor);
        childBrush.Reset(CreateSolidBrush(childBackColor));
        brush = childBrush.Get();
    } else if (backColor != NoColor) {
        SetBkColor(deviceContext, backColor);
        childBrush.Reset(CreateSolidBrush(backColor));
        brush = childBrush.Get();
    } else {
        brush = GetSysColorBrush(COLOR_BTNFACE); // the system's, never deleted
    }
    if (childTextColor != NoColor) {
        SetTextColor(deviceContext, childTextColor);
    }
    return brush;
}

} // namespace NBUtility
