#include "GUIElement.h"

#include "ElementRegistry.h"
#include "GdiHandles.h"
#include "TextConversion.h"
#include "WindowProcedure.h"

#include <commctrl.h>

#include <algorithm>

namespace NBUtility {

namespace {

constexpr std::size_t TooltipTextCapacity = 2024;

template <typename Handler, typename... Args>
std::int32_t Raise(const Handler& handler, Args... args) {
    return handler ? handler(args...) : 0;
}

} // namespace

GUIElement::GUIElement(HINSTANCE moduleInstance) {
    windowClass.hInstance = moduleInstance;
    ElementRegistry::Add(this);
}

GUIElement::~GUIElement() {
    RestoreOwnWindowProcedure();
    ForgetElement(this);
    ElementRegistry::Remove(this);
}

// A control that outlives its element goes back to its own procedure, so it
// never ends up with DefWindowProcW in place of its class behaviour.
void GUIElement::RestoreOwnWindowProcedure() {
    if (window == nullptr || previousWindowProcedure == nullptr || !IsWindow(window) ||
        IsForeignThread()) {
        return;
    }
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (current == WindowProcedure) {
        SetWindowLongPtrW(window, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(previousWindowProcedure));
    }
}

bool GUIElement::IsForeignThread() const {
    return window != nullptr && GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId();
}

void GUIElement::RunOnWindowThread(const std::function<void()>& operation) {
    if (!IsForeignThread()) {
        operation();
        return;
    }
    // A send that fails (the window is gone) leaves the operation undone.
    SendMessageW(window, RunOperationMessage(), RunOperationKey(),
                 reinterpret_cast<LPARAM>(&operation));
}

void GUIElement::SetSize(std::int32_t newWidth, std::int32_t newHeight) {
    RunOnWindowThread([&] {
        width = newWidth;
        height = newHeight;
        if (!created) {
            return;
        }
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE);
        UpdateTooltip();
        Redraw();
    });
}

void GUIElement::SetBackColor(COLORREF color) {
    RunOnWindowThread([&] {
        backColor = color;
        if (!created) {
            return;
        }
        InvalidateRect(window, nullptr, FALSE);
        RECT client{};
        GetClientRect(window, &client);
        WindowContext context(window);
        FillWithBackColor(context.Get(), client);
        backgroundPainted = true;
    });
}

// Within a paint cycle the colour goes only where the cycle paints, after the
// erase that is due (which would wipe it otherwise), and invalidates nothing:
// an invalidation here would ask for one more cycle after this one.
void GUIElement::RepaintBackground() {
    GdiObject<HRGN> due(CreateRectRgn(0, 0, 0, 0));
    const int kind = GetUpdateRgn(window, due.Get(), TRUE);
    if (kind == ERROR || kind == NULLREGION) {
        return;
    }
    RECT box{};
    GetRgnBox(due.Get(), &box);
    WindowContext context(window);
    if (context.Get() != nullptr) {
        SelectClipRgn(context.Get(), due.Get());
        FillWithBackColor(context.Get(), box);
    }
}

// Through a window context, not a paint cycle: a paint cycle here would
// validate the window, and the onPaint that follows in OnPaint would then
// draw into an empty update region and show nothing.
void GUIElement::FillWithBackColor(HDC context, const RECT& area) const {
    if (context == nullptr) {
        return;
    }
    const COLORREF previous = SetBkColor(context, backColor);
    ExtTextOutW(context, 0, 0, ETO_OPAQUE, &area, L"", 0, nullptr);
    SetBkColor(context, previous);
}

void GUIElement::SetEnabled(bool enable) {
    RunOnWindowThread([&] {
        enabled = enable;
        if (created) {
            EnableWindow(window, enable ? TRUE : FALSE);
        }
    });
}

void GUIElement::SetText(const std::wstring& newText) {
    RunOnWindowThread([&] { SetTextHere(newText); });
}

void GUIElement::SetTextHere(const std::wstring& newText) {
    text = newText;
    if (created) {
        SetWindowTextW(window, text.c_str());
    }
}

void GUIElement::SetTextNarrow(const std::string& newText) {
    SetText(ToWide(newText));
}

std::int32_t GUIElement::OnLeftButtonUp(std::int32_t px, std::int32_t py) {
    return Raise(onLeftButtonUp, this, window, px, py);
}

std::int32_t GUIElement::OnLeftButtonDown(std::int32_t px, std::int32_t py) {
    return Raise(onLeftButtonDown, this, window, px, py);
}

std::int32_t GUIElement::OnLeftDoubleClick(std::int32_t px, std::int32_t py) {
    return Raise(onLeftDoubleClick, this, window, px, py);
}

std::int32_t GUIElement::OnRightButtonUp(std::int32_t px, std::int32_t py) {
    return Raise(onRightButtonUp, this, window, px, py);
}

std::int32_t GUIElement::OnRightButtonDown(std::int32_t px, std::int32_t py) {
    return Raise(onRightButtonDown, this, window, px, py);
}

std::int32_t GUIElement::OnRightDoubleClick(std::int32_t px, std::int32_t py) {
    return Raise(onRightDoubleClick, this, window, px, py);
}

std::int32_t GUIElement::OnKeyUp(std::int32_t key) {
    return Raise(onKeyUp, this, key);
}

std::int32_t GUIElement::OnKeyDown(std::int32_t key) {
    return Raise(onKeyDown, this, key);
}

bool GUIElement::OnChar(std::int32_t character) {
    return onChar ? onChar(this, character) : true;
}

std::int32_t GUIElement::OnMouseMove(std::int32_t px, std::int32_t py) {
    return Raise(onMouseMove, this, px, py);
}

std::int32_t GUIElement::OnMouseHover() {
    return Raise(onMouseHover, this);
}

std::int32_t GUIElement::OnMouseLeave() {
    return Raise(onMouseLeave, this);
}

void GUIElement::Focus() {
    // SetFocus only works on the window's own thread.
    RunOnWindowThread([&] {
        if (created) {
            SetFocus(window);
        }
    });
}

std::int32_t GUIElement::OnMove() {
    GetPosition();
    return Raise(onMove, this);
}

std::int32_t GUIElement::OnResize() {
    return Raise(onResize, this);
}

std::int32_t GUIElement::OnPaint() {
    if (backgroundPainted && created) {
        RepaintBackground();
    }
    return Raise(onPaint, this);
}

HBRUSH GUIElement::OnControlColor(HDC) {
    return nullptr;
}

HBRUSH GUIElement::OnChildColor(HDC deviceContext, HWND) {
    return OnControlColor(deviceContext);
}

bool GUIElement::OnClosing() {
    return onClosing ? onClosing(this) : true;
}

std::int32_t GUIElement::OnDestroyed() {
    const std::int32_t result = Raise(onDestroyed, this);
    destroyed = true;
    return result;
}

std::int32_t GUIElement::OnFocusGained() {
    textSnapshot = GetText();
    return Raise(onFocusGained, this);
}

std::int32_t GUIElement::OnFocusLost() {
    const std::int32_t result = Raise(onFocusLost, this);
    if (GetText() != textSnapshot && onTextChanged) {
        onTextChanged(this);
    }
    return result;
}

std::int32_t GUIElement::OnActivated() {
    return Raise(onActivated, this);
}

std::int32_t GUIElement::OnDeactivated() {
    return Raise(onDeactivated, this);
}

void GUIElement::Attach(HWND newWindow) {
    if (window == nullptr) {
        window = newWindow;
    }
    if (!onCreatedFired) {
        onCreatedFired = true;
        if (onCreated) {
            onCreated(this, window);
        }
    }
}

void GUIElement::Redraw() {
    RunOnWindowThread([&] {
        if (created) {
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        }
    });
}

bool GUIElement::IsWaitCursor() {
    return waitCursor;
}

bool GUIElement::IsHandCursor() {
    return handCursor;
}

void GUIElement::SetWaitCursor(bool on) {
    waitCursor = on;
}

void GUIElement::SetHandCursor(bool on) {
    handCursor = on;
}

void GUIElement::OnShow() {}

void GUIElement::OnNotify(std::int32_t, std::vector<std::int32_t>, std::vector<std::string>) {}

void GUIElement::SetTabStop(bool on) {
    tabStop = on;
}

void GUIElement::Show() {
    if (!created) {
        Create();
    }
    RunOnWindowThread([&] {
        ShowWindow(window, SW_SHOWNA);
        visible = true;
    });
}

void GUIElement::Hide() {
    RunOnWindowThread([&] {
        if (created) {
            ShowWindow(window, SW_HIDE);
            visible = false;
        }
    });
}

POINT GUIElement::GetPosition() {
    POINT position{x, y};
    RunOnWindowThread([&] {
        if (!created) {
            return;
        }
        RECT frame{};
        GetWindowRect(window, &frame);
        position = {frame.left, frame.top};
        if (parent != nullptr) {
            ScreenToClient(parent->window, &position);
        }
        x = position.x;
        y = position.y;
    });
    return position;
}

std::wstring GUIElement::GetText() {
    std::wstring result;
    RunOnWindowThread([&] { result = ReadLiveText(); });
    return result;
}

std::wstring GUIElement::ReadLiveText() {
    if (!created) {
        return text;
    }
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        text.clear();
        return text;
    }
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    if (copied > 0) {
        buffer.resize(static_cast<std::size_t>(copied));
        text = buffer;
    }
    return text;
}

std::string GUIElement::GetTextNarrow() {
    return ToNarrow(GetText());
}

TOOLINFOW GUIElement::ToolRecord(std::wstring& textBuffer) const {
    textBuffer = ToWide(tooltipText).substr(0, TooltipTextCapacity - 1);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    GetClientRect(window, &tool.rect);
    tool.lpszText = textBuffer.data();
    return tool;
}

void GUIElement::UpdateTooltip() {
    if (tooltipWindow == nullptr) {
        AttachTooltip(window, this);
        return;
    }
    std::wstring textBuffer;
    TOOLINFOW tool = ToolRecord(textBuffer);
    SendMessageW(tooltipWindow, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tooltipWindow, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void GUIElement::AttachTooltip(HWND parentWindow, GUIElement* element) {
    if (element->tooltipText.empty() || parentWindow == nullptr) {
        return;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    element->tooltipWindow = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                             WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                             parentWindow, nullptr, nullptr, nullptr);
    if (element->tooltipWindow == nullptr) {
        return;
    }
    SetWindowPos(element->tooltipWindow, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    std::wstring textBuffer;
    TOOLINFOW tool = element->ToolRecord(textBuffer);
    SendMessageW(element->tooltipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void GUIElement::Subclass() {
    previousWindowProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProcedure)));
}

void GUIElement::SetBounds(std::int32_t left, std::int32_t top, std::int32_t newWidth,
                           std::int32_t newHeight) {
    RunOnWindowThread([&] {
        Place(left, top, newWidth, newHeight);
        if (created && window != nullptr) {
            SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
            UpdateTooltip();
        }
    });
}

void GUIElement::ApplyFont() {
    if (font != nullptr) {
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font->GetHandle()), TRUE);
    }
}

Child::Child(GUIElement* parentElement, const std::string& caption, const char* kind)
    : GUIElement(nullptr) {
    width = 80;
    height = 30;
    parent = parentElement;
    text = ToWide(caption);
    typeName = kind;
}

void Child::CreateControl(const wchar_t* className, DWORD ownStyle, DWORD extendedStyle,
                          bool honoursTabStop) {
    if (created) {
        return;
    }
    id = TakeNextControlId();
    DWORD style = WS_CHILD | WS_VISIBLE | ownStyle;
    if (!enabled) {
        style |= WS_DISABLED;
    }
    if (honoursTabStop && tabStop) {
        style |= WS_TABSTOP;
    }
    HWND parentWindow = parent != nullptr ? parent->window : nullptr;
    window = CreateWindowExW(extendedStyle, className, text.c_str(), style, x, y, width, height,
                             parentWindow, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                             nullptr, nullptr);
    if (window == nullptr) {
        return;
    }
    Subclass();
    created = true;
    AttachTooltip(window, this);
    ApplyFont();
}

} // namespace NBUtility
