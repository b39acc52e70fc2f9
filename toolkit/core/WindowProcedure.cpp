#include "WindowProcedure.h"

#include "AccessKeys.h"
#include "Drawing.h"
#include "ElementRegistry.h"
#include "FileDrop.h"
#include "Form.h"
#include "GUIElement.h"
#include "OwnerDrawn.h"
#include "PanelChildren.h"
#include "Timer.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace NBUtility {

namespace {

struct RoutingState {
    HCURSOR waitCursorHandle = nullptr;
    HCURSOR handCursorHandle = nullptr;
    // Windows with a hover/leave request pending, each tracked on its own.
    std::vector<HWND> trackedWindows;
    HWND mainWindow = nullptr;
    Form* activeForm = nullptr;
    HWND quietRoot = nullptr;
};

RoutingState& State() {
    static RoutingState state;
    return state;
}

// Its address is the key that marks a run-operation message as ours.
const int runOperationKey = 0;

using Result = std::optional<LRESULT>;

void LoadCursors() {
    RoutingState& state = State();
    if (state.waitCursorHandle == nullptr) {
        state.waitCursorHandle = LoadCursorW(nullptr, IDC_WAIT);
    }
    if (state.handCursorHandle == nullptr) {
        state.handCursorHandle = LoadCursorW(nullptr, IDC_HAND);
    }
}

std::int32_t PointX(LPARAM lParam) {
    return GET_X_LPARAM(lParam);
}
std::int32_t PointY(LPARAM lParam) {
    return GET_Y_LPARAM(lParam);
}

bool IsTracked(HWND window) {
    const auto& tracked = State().trackedWindows;
    return std::find(tracked.begin(), tracked.end(), window) != tracked.end();
}

void StopTracking(HWND window) {
    auto& tracked = State().trackedWindows;
    tracked.erase(std::remove(tracked.begin(), tracked.end(), window), tracked.end());
}

void TrackHoverAndLeave(HWND window) {
    if (IsTracked(window)) {
        return;
    }
    TRACKMOUSEEVENT request{};
    request.cbSize = sizeof request;
    request.dwFlags = TME_HOVER | TME_LEAVE;
    request.hwndTrack = window;
    request.dwHoverTime = HOVER_DEFAULT;
    if (TrackMouseEvent(&request)) {
        State().trackedWindows.push_back(window);
    }
}

void Activate(Form* form, HWND window) {
    RoutingState& state = State();
    if (GetForegroundWindow() != window) {
        form->UnregisterHotKeys();
        form->OnDeactivated();
        return;
    }
    if (state.activeForm != nullptr) {
        state.activeForm->UnregisterHotKeys();
        state.activeForm->OnDeactivated();
    }
    form->RegisterHotKeys();
    form->OnActivated();
    state.activeForm = form;
    GUIElement* companion = form->companion;
    if (companion != nullptr && companion->created && form->window != nullptr) {
        SetWindowPos(companion->window, form->window, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    }
}

void MoveFocusByTab(GUIElement* element, HWND window) {
    HWND dialog = window;
    if (auto* child = dynamic_cast<Child*>(element); child != nullptr && child->parent) {
        dialog = child->parent->window;
    }
    const bool backward = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    HWND next = GetNextDlgTabItem(dialog, window, backward ? TRUE : FALSE);
    if (next == nullptr) {
        return;
    }
    if (GUIElement* target = ElementRegistry::FindByWindow(next); target != nullptr) {
        target->Focus();
    }
}

// The dialog manager asks a tool-window form for the next control with
// WM_NEXTDLGCTL, which only dialog classes answer by default.
void MoveFocusForDialogManager(HWND formWindow, WPARAM wParam, LPARAM lParam) {
    HWND next = reinterpret_cast<HWND>(wParam);
    if (LOWORD(lParam) == 0) {
        next = GetNextDlgTabItem(formWindow, GetFocus(), wParam != 0 ? TRUE : FALSE);
    }
    if (next == nullptr) {
        return;
    }
    if (GUIElement* target = ElementRegistry::FindByWindow(next); target != nullptr) {
        target->Focus();
    } else {
        SetFocus(next);
    }
}

void RaiseCommand(WPARAM wParam, LPARAM lParam) {
    const WORD code = HIWORD(wParam);
    const WORD commandId = LOWORD(wParam);
    GUIElement* sender = nullptr;
    if (lParam == 0 && code == 0) {
        sender = ElementRegistry::FindById(commandId);
    } else if (lParam == 0 && code == 1) {
        return; // accelerators get default processing only
    } else {
        sender = ElementRegistry::FindByWindow(reinterpret_cast<HWND>(lParam));
    }
    auto* command = dynamic_cast<CommandElement*>(sender);
    if (command == nullptr) {
        return;
    }
    command->BeforeClick();
    if (command->onClick) {
        command->onClick(sender);
    }
}

void RaiseNotify(LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr) {
        return;
    }
    GUIElement* sender = ElementRegistry::FindByWindow(header->hwndFrom);
    if (sender == nullptr) {
        return;
    }
    const auto* item = reinterpret_cast<const NMHEADERW*>(lParam);
    switch (static_cast<int>(header->code)) {
    case static_cast<int>(HDN_ITEMCHANGEDW): {
        const std::int32_t itemWidth =
            (item->pitem != nullptr && (item->pitem->mask & HDI_WIDTH)) ? item->pitem->cxy : 0;
        sender->OnNotify(NotifyColumnResized, {item->iItem, itemWidth}, {});
        break;
    }
    case static_cast<int>(HDN_ITEMCLICKW):
        sender->OnNotify(NotifyColumnClicked, {item->iItem}, {});
        break;
    case static_cast<int>(NM_RCLICK):
        sender->OnNotify(NotifyRightClick, {}, {});
        break;
    case static_cast<int>(TCN_SELCHANGE):
        // A tab control reads its selection itself.
        sender->OnNotify(NotifySelectionChanged, {}, {});
        break;
    default:
        break;
    }
}

Result PaintOwnerDrawnButton(WPARAM controlId, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    GUIElement* element = ElementRegistry::FindById(static_cast<std::uint32_t>(controlId));
    auto* drawn = dynamic_cast<OwnerDrawn*>(element);
    if (item == nullptr || drawn == nullptr || item->CtlType != ODT_BUTTON) {
        return std::nullopt;
    }
    Drawing surface(element);
    surface.Borrow(item->hDC);
    drawn->PaintItem(surface, *item);
    return TRUE;
}

// A timer ticks only on its own parent's window and never for id 0.
void RaiseTick(HWND window, WPARAM timerId) {
    if (timerId == 0) {
        return;
    }
    auto* timer =
        dynamic_cast<Timer*>(ElementRegistry::FindById(static_cast<std::uint32_t>(timerId)));
    if (timer == nullptr || timer->parent == nullptr || timer->parent->window != window) {
        return;
    }
    if (timer->onTick) {
        timer->onTick(timer);
    }
}

void RaiseHotKey(Form* form, WPARAM hotKeyId) {
    if (hotKeyId < 1 || hotKeyId > form->hotKeys.size()) {
        return;
    }
    const HotKeyEntry entry = form->hotKeys[hotKeyId - 1];
    HWND foreground = GetForegroundWindow();
    if (foreground == form->window) {
        if (entry.callback) {
            entry.callback(form, entry.modifiers, entry.virtualKey);
        }
        return;
    }
    auto* front = dynamic_cast<Form*>(ElementRegistry::FindByWindow(foreground));
    if (front == nullptr) {
        return;
    }
    for (const HotKeyEntry& candidate : front->hotKeys) {
        if (candidate.modifiers == entry.modifiers && candidate.virtualKey == entry.virtualKey) {
            if (candidate.callback) {
                candidate.callback(front, entry.modifiers, entry.virtualKey);
            }
            return;
        }
    }
}

Result SetCursorFor(GUIElement* element, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT) {
        return std::nullopt;
    }
    if (element->IsHandCursor()) {
        SetCursor(State().handCursorHandle);
        return 1;
    }
    if (element->IsWaitCursor()) {
        SetCursor(State().waitCursorHandle);
        return 1;
    }
    return std::nullopt;
}

// The drop is released whether or not a handler takes it.
void RaiseFilesDropped(Form* form, HDROP drop) {
    const std::vector<std::wstring> paths = TakeDroppedPaths(drop);
    if (form->onFilesDropped && !paths.empty()) {
        form->onFilesDropped(form, paths);
    }
}

struct ForwardedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// To every window inside window, however deep.
void ForwardToChildren(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ForwardedMessage forwarded{message, wParam, lParam};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM context) -> BOOL {
            const auto* m = reinterpret_cast<const ForwardedMessage*>(context);
            SendMessageW(child, m->message, m->wParam, m->lParam);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&forwarded));
}

bool IsQuiet(HWND window) {
    HWND root = State().quietRoot;
    return root != nullptr && (window == root || IsChild(root, window));
}

// Messages handled whether or not an element owns the window.
Result RouteWithoutElement(GUIElement* element, HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        if (window == State().mainWindow) {
            PostQuitMessage(0);
        }
        return std::nullopt;
    case WM_NOTIFY:
        RaiseNotify(lParam);
        return std::nullopt;
    case WM_DRAWITEM:
        return PaintOwnerDrawnButton(wParam, lParam);
    case WM_KEYDOWN:
        // Ctrl+Tab is the element's to bind (a form may switch its tabs).
        if (wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000) == 0) {
            MoveFocusByTab(element, window);
        }
        return std::nullopt;
    case WM_SYSKEYDOWN:
        if (wParam == VK_MENU) {
            ShowAccessKeyCues(GetAncestor(window, GA_ROOT));
        }
        return std::nullopt;
    case WM_SYSCHAR:
        // A control's access key before the menu bar's.
        if (RunAccessKey(GetAncestor(window, GA_ROOT), static_cast<wchar_t>(wParam))) {
            return 0;
        }
        return std::nullopt;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETKEYBOARDCUES && GetAncestor(window, GA_ROOT) == window) {
            FollowAccessKeySetting(window);
        }
        return std::nullopt;
    case WM_COMMAND:
        RaiseCommand(wParam, lParam);
        return std::nullopt;
    case WM_TIMER:
        RaiseTick(window, wParam);
        return std::nullopt;
    case WM_MOUSELEAVE:
        StopTracking(window);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

Result RouteMouse(GUIElement* element, HWND window, UINT message, LPARAM lParam) {
    const std::int32_t px = PointX(lParam);
    const std::int32_t py = PointY(lParam);
    switch (message) {
    case WM_MOUSEMOVE:
        element->OnMouseMove(px, py);
        TrackHoverAndLeave(window);
        break;
    case WM_LBUTTONDOWN:
        element->OnLeftButtonDown(px, py);
        break;
    case WM_LBUTTONUP:
        element->OnLeftButtonUp(px, py);
        break;
    case WM_LBUTTONDBLCLK:
        element->OnLeftDoubleClick(px, py);
        break;
    case WM_RBUTTONDOWN:
        element->OnRightButtonDown(px, py);
        break;
    case WM_RBUTTONUP:
        element->OnRightButtonUp(px, py);
        break;
    case WM_RBUTTONDBLCLK:
        element->OnRightDoubleClick(px, py);
        break;
    default:
        break;
    }
    return std::nullopt;
}

Result RouteToElement(GUIElement* element, HWND window, UINT message, WPARAM wParam,
                      LPARAM lParam) {
    auto* form = dynamic_cast<Form*>(element);
    switch (message) {
    case WM_CREATE:
        if (form != nullptr) {
            form->Attach(window);
        }
        return std::nullopt;
    case WM_DESTROY:
        if (form != nullptr) {
            form->UnregisterHotKeys();
        }
        element->OnDestroyed();
        return std::nullopt;
    case WM_MOVE:
        element->OnMove();
        return std::nullopt;
    case WM_SIZE:
        element->OnResize();
        return std::nullopt;
    case WM_SHOWWINDOW:
        element->OnShow();
        element->OnResize();
        return std::nullopt;
    case WM_ACTIVATE:
        if (form != nullptr) {
            Activate(form, window);
        }
        return std::nullopt;
    case WM_SETFOCUS:
        element->OnFocusGained();
        return std::nullopt;
    case WM_KILLFOCUS:
        element->OnFocusLost();
        return std::nullopt;
    case WM_PAINT:
        element->OnPaint();
        return std::nullopt;
    case WM_CLOSE:
        return element->OnClosing() ? Result{} : Result{1};
    case WM_SETCURSOR:
        return SetCursorFor(element, lParam);
    case WM_KEYDOWN:
        element->OnKeyDown(static_cast<std::int32_t>(wParam));
        return std::nullopt;
    case WM_KEYUP:
        element->OnKeyUp(static_cast<std::int32_t>(wParam));
        return std::nullopt;
    case WM_CHAR:
        return element->OnChar(static_cast<std::int32_t>(wParam)) ? Result{} : Result{1};
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
        HBRUSH brush =
            element->OnChildColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return brush != nullptr ? Result{reinterpret_cast<LRESULT>(brush)} : Result{};
    }
    case WM_SYSCOLORCHANGE:
        // Common controls learn of it only from their top-level window.
        if (form != nullptr) {
            ForwardToChildren(window, message, wParam, lParam);
        }
        element->OnColorsChanged();
        return std::nullopt;
    case WM_THEMECHANGED:
        element->OnColorsChanged();
        return std::nullopt;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETHIGHCONTRAST) {
            element->OnColorsChanged();
        }
        return std::nullopt;
    case WM_MOUSEHOVER:
        element->OnMouseHover();
        return std::nullopt;
    case WM_MOUSELEAVE:
        element->OnMouseLeave();
        return std::nullopt;
    case WM_HOTKEY:
        if (form != nullptr) {
            RaiseHotKey(form, wParam);
        }
        return std::nullopt;
    case WM_DROPFILES:
        if (form != nullptr) {
            RaiseFilesDropped(form, reinterpret_cast<HDROP>(wParam));
            return 0;
        }
        return std::nullopt;
    case WM_QUERYENDSESSION:
        return form != nullptr ? Result{TRUE} : Result{};
    case WM_ENDSESSION:
        if (form != nullptr && wParam != FALSE && form->onEndSession) {
            form->onEndSession(form);
            return 0;
        }
        return std::nullopt;
    case WM_DPICHANGED:
        if (form != nullptr && lParam != 0) {
            form->FollowDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        }
        return std::nullopt;
    case WM_NEXTDLGCTL:
        if (form != nullptr) {
            MoveFocusForDialogManager(window, wParam, lParam);
            return 0;
        }
        return std::nullopt;
    default:
        return RouteMouse(element, window, message, lParam);
    }
}

LRESULT DefaultProcessing(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    return previous != nullptr ? CallWindowProcW(previous, window, message, wParam, lParam)
                               : DefWindowProcW(window, message, wParam, lParam);
}

// The window is gone: no element keeps its handle, tracking ends, and a form's
// class can be released.
void ForgetWindow(HWND window) {
    StopTracking(window);
    for (GUIElement* element : ElementRegistry::Elements()) {
        if (element->window != window) {
            continue;
        }
        if (auto* form = dynamic_cast<Form*>(element); form != nullptr) {
            form->OnWindowGone();
        } else {
            element->window = nullptr;
        }
        break;
    }
}

} // namespace

UINT RunOperationMessage() {
    static const UINT message = RegisterWindowMessageW(L"NBUtility.RunOperation");
    return message;
}

WPARAM RunOperationKey() {
    return reinterpret_cast<WPARAM>(&runOperationKey);
}

HWND MainWindow() {
    return State().mainWindow;
}

void SetMainWindowIfUnset(HWND window) {
    if (State().mainWindow == nullptr) {
        State().mainWindow = window;
    }
}

Form* ActiveForm() {
    return State().activeForm;
}

void ForgetElement(const GUIElement* element) {
    RoutingState& state = State();
    if (state.activeForm == element) {
        state.activeForm = nullptr;
    }
    ForgetPanel(element);
}

QuietTeardown::QuietTeardown(HWND window) : previous_(State().quietRoot) {
    State().quietRoot = window;
}

QuietTeardown::~QuietTeardown() {
    State().quietRoot = previous_;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == RunOperationMessage() && wParam == RunOperationKey() && lParam != 0) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    GUIElement* element = ElementRegistry::FindByWindow(window);
    LoadCursors();
    // Kept before routing: a handler may delete the element.
    const WNDPROC previous = element != nullptr ? element->previousWindowProcedure : nullptr;
    if (IsQuiet(window)) {
        if (message == WM_DESTROY && window == State().mainWindow) {
            PostQuitMessage(0);
        }
        const LRESULT result = DefaultProcessing(previous, window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            ForgetWindow(window);
        }
        return result;
    }
    if (LRESULT panelResult = 0;
        RoutePanelMessage(element, window, message, wParam, lParam, panelResult)) {
        return panelResult;
    }
    Result handled = RouteWithoutElement(element, window, message, wParam, lParam);
    // Commands, ticks and notifications may have deleted the receiving element.
    const bool elementMayBeGone = message == WM_COMMAND || message == WM_TIMER ||
                                  message == WM_NOTIFY || message == WM_DRAWITEM;
    if (element != nullptr && !handled && !elementMayBeGone) {
        handled = RouteToElement(element, window, message, wParam, lParam);
    }
    if (handled) {
        return *handled;
    }
    const LRESULT result = DefaultProcessing(previous, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ForgetWindow(window);
    }
    return result;
}

} // namespace NBUtility
