// Scrolling of panels by their bars and the mouse wheel, and the panel
// activation state, as the window procedure routes them.

#include "ElementRegistry.h"
#include "Form.h"
#include "PanelChildren.h"

#include <algorithm>
#include <climits>

namespace NBUtility {

namespace {

struct PanelState {
    PanelChildren* activePanel = nullptr;
    // Receives wheel messages that arrive at windows that are not panels.
    PanelChildren* lastScrolledPanel = nullptr;
};

PanelState& State() {
    static PanelState state;
    return state;
}

std::int32_t Clamped(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

struct ScrollMove {
    int bar;
    std::int32_t old;
    std::int32_t requested;
};

// Moves the bar (the system clamps), scrolls the content by what really moved
// and reports the requested change.
void ApplyScroll(PanelChildren* panel, HWND window, const ScrollMove& move) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = move.requested;
    SetScrollInfo(window, move.bar, &info, TRUE);
    GetScrollInfo(window, move.bar, &info);
    const std::int32_t actual = info.nPos;
    if (actual != move.old) {
        const int shift = move.old - actual;
        if (move.bar == SB_HORZ) {
            ScrollWindow(window, shift, 0, nullptr, nullptr);
        } else {
            ScrollWindow(window, 0, shift, nullptr, nullptr);
        }
        UpdateWindow(window);
    }
    const ScrollHandler& handler =
        move.bar == SB_HORZ ? panel->onHorizontalScroll : panel->onVerticalScroll;
    if (move.requested != move.old && handler) {
        handler(panel, Clamped(static_cast<std::int64_t>(move.old) - move.requested));
    }
}

SCROLLINFO ReadBar(HWND window, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &info);
    return info;
}

std::int32_t RequestedPosition(const SCROLLINFO& info, WORD request, bool vertical) {
    const std::int64_t old = info.nPos;
    switch (request) {
    case SB_LINEUP:
        return Clamped(old - 1);
    case SB_LINEDOWN:
        return Clamped(old + 1);
    case SB_PAGEUP:
        return Clamped(old - static_cast<std::int64_t>(info.nPage));
    case SB_PAGEDOWN:
        return Clamped(old + static_cast<std::int64_t>(info.nPage));
    case SB_THUMBTRACK:
        return info.nTrackPos;
    case SB_TOP:
        return vertical ? info.nMin : info.nPos;
    case SB_BOTTOM:
        return vertical ? info.nMax : info.nPos;
    default:
        return info.nPos;
    }
}

bool RouteScrollBar(GUIElement* element, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool vertical = message == WM_VSCROLL;
    const WORD request = LOWORD(wParam);
    if (lParam != 0 && request == SB_ENDSCROLL) {
        element = ElementRegistry::FindByWindow(reinterpret_cast<HWND>(lParam));
    }
    auto* panel = dynamic_cast<PanelChildren*>(element);
    if (panel == nullptr || !(vertical ? panel->verticalScroll : panel->horizontalScroll)) {
        return false;
    }
    if (vertical) {
        State().lastScrolledPanel = panel;
    }
    const int bar = vertical ? SB_VERT : SB_HORZ;
    const SCROLLINFO info = ReadBar(window, bar);
    ApplyScroll(panel, window, {bar, info.nPos, RequestedPosition(info, request, vertical)});
    return true;
}

bool RouteWheel(GUIElement* element, WPARAM wParam) {
    auto* panel = dynamic_cast<PanelChildren*>(element);
    if (panel == nullptr) {
        panel = State().lastScrolledPanel;
    }
    if (panel == nullptr || !panel->verticalScroll || panel->window == nullptr) {
        return false;
    }
    const SCROLLINFO info = ReadBar(panel->window, SB_VERT);
    const std::int64_t page = info.nPage;
    const std::int64_t requested =
        GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? info.nPos - page : info.nPos + page;
    ApplyScroll(panel, panel->window, {SB_VERT, info.nPos, Clamped(requested)});
    return true;
}

void RouteActivation(GUIElement* element, HWND window) {
    PanelState& state = State();
    const bool foreground = GetForegroundWindow() == window;
    if (dynamic_cast<Form*>(element) != nullptr) {
        state.lastScrolledPanel = nullptr;
        if (foreground && state.activePanel != nullptr) {
            PanelChildren* previous = state.activePanel;
            state.activePanel = nullptr;
            previous->OnDeactivated();
        }
        return;
    }
    auto* panel = dynamic_cast<PanelChildren*>(element);
    if (panel == nullptr) {
        return;
    }
    if (!foreground) {
        panel->OnDeactivated();
        return;
    }
    if (state.activePanel != nullptr) {
        state.activePanel->OnDeactivated();
    }
    panel->OnActivated();
    state.activePanel = panel;
}

} // namespace

bool RoutePanelMessage(GUIElement* element, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result) {
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (RouteScrollBar(element, window, message, wParam, lParam)) {
            result = 0;
            return true;
        }
        return false;
    case WM_MOUSEWHEEL:
        if (RouteWheel(element, wParam)) {
            result = 0;
            return true;
        }
        return false;
    case WM_LBUTTONDOWN:
        if (element != nullptr) {
            State().lastScrolledPanel = dynamic_cast<PanelChildren*>(element);
        }
        return false;
    case WM_ACTIVATE:
        RouteActivation(element, window);
        return false;
    default:
        return false;
    }
}

void ForgetPanel(const GUIElement* element) {
    PanelState& state = State();
    if (state.activePanel == element) {
        state.activePanel = nullptr;
    }
    if (state.lastScrolledPanel == element) {
        state.lastScrolledPanel = nullptr;
    }
}

} // namespace NBUtility
