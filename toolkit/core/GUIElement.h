#pragma once
// Base of every element: geometry, text, colours, flags, the native window and
// the event slots. Elements belong to the interface thread; operations that a
// worker may call are carried out there through a private window message.

#include "Events.h"
#include "FontSpec.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace NBUtility {

constexpr COLORREF NoColor = 0xFFFFFFFF;

// The kinds of notice that OnNotify carries, as the routing numbers them.
enum NotifyKind : std::int32_t {
    NotifyColumnResized = 1, // numbers: column, its new width
    NotifyColumnClicked = 2, // numbers: column
    NotifyRightClick = 3,
    NotifySelectionChanged = 4,
};

class GUIElement {
public:
    explicit GUIElement(HINSTANCE moduleInstance);
    virtual ~GUIElement();
    GUIElement(const GUIElement&) = delete;
    GUIElement& operator=(const GUIElement&) = delete;

    bool visible = true;
    bool destroyed = false;
    bool waitCursor = false;
    bool handCursor = false;
    HWND tooltipWindow = nullptr;
    HWND window = nullptr;
    WNDCLASSW windowClass{};
    FontSpec* font = nullptr; // not owned
    std::int32_t width = 100;
    std::int32_t height = 50;
    std::int32_t x = 100;
    std::int32_t y = 100;
    bool created = false; // the native window (or menu) exists
    COLORREF backColor = NoColor;
    std::wstring text;
    std::wstring textSnapshot;
    bool backgroundPainted = false;
    bool enabled = true;
    bool tabStop = true;
    std::uint32_t id = 0;
    std::string typeName;
    std::string tooltipText;
    GUIElement* parent = nullptr; // not owned
    WNDPROC previousWindowProcedure = nullptr;
    CreatedHandler onCreated;
    bool onCreatedFired = false;
    MouseButtonHandler onLeftButtonUp;
    MouseButtonHandler onLeftButtonDown;
    MouseButtonHandler onLeftDoubleClick;
    MouseButtonHandler onRightButtonUp;
    MouseButtonHandler onRightButtonDown;
    MouseButtonHandler onRightDoubleClick;
    KeyHandler onKeyUp;
    KeyHandler onKeyDown;
    CharHandler onChar;
    ElementHandler onMove;
    ElementHandler onResize;
    ElementHandler onPaint;
    ClosingHandler onClosing;
    ElementHandler onDestroyed;
    ElementHandler onFocusGained;
    ElementHandler onFocusLost;
    ElementHandler onActivated;
    ElementHandler onDeactivated;
    ElementHandler onTextChanged;
    MouseMoveHandler onMouseMove;
    ElementHandler onMouseHover;
    ElementHandler onMouseLeave;

    virtual void SetSize(std::int32_t newWidth, std::int32_t newHeight);
    virtual void SetBackColor(COLORREF color);
    virtual void SetEnabled(bool enable);
    virtual void SetText(const std::wstring& newText);
    virtual void SetTextNarrow(const std::string& newText);
    virtual std::int32_t OnLeftButtonUp(std::int32_t px, std::int32_t py);
    virtual std::int32_t OnLeftButtonDown(std::int32_t px, std::int32_t py);
    virtual std::int32_t OnLeftDoubleClick(std::int32_t px, std::int32_t py);
    virtual std::int32_t OnRightButtonUp(std::int32_t px, std::int32_t py);
    virtual std::int32_t OnRightButtonDown(std::int32_t px, std::int32_t py);
    virtual std::int32_t OnRightDoubleClick(std::int32_t px, std::int32_t py);
    virtual std::int32_t OnKeyUp(std::int32_t key);
    virtual std::int32_t OnKeyDown(std::int32_t key);
    virtual bool OnChar(std::int32_t character);
    virtual std::int32_t OnMouseMove(std::int32_t px, std::int32_t py);
    virtual std::int32_t OnMouseHover();
    virtual std::int32_t OnMouseLeave();
    virtual void Focus();
    virtual std::int32_t OnMove();
    virtual std::int32_t OnResize();
    virtual std::int32_t OnPaint();
    virtual HBRUSH OnControlColor(HDC deviceContext);
    // The colours for one control placed on this element; by default the
    // same for every control.
    virtual HBRUSH OnChildColor(HDC deviceContext, HWND control);
    // The system's colours, theme or contrast setting changed.
    virtual void OnColorsChanged() {}
    virtual bool OnClosing();
    virtual std::int32_t OnDestroyed();
    virtual std::int32_t OnFocusGained();
    virtual std::int32_t OnFocusLost();
    virtual std::int32_t OnActivated();
    virtual std::int32_t OnDeactivated();
    virtual void Attach(HWND newWindow);
    virtual void Redraw();
    virtual bool IsWaitCursor();
    virtual bool IsHandCursor();
    virtual void SetWaitCursor(bool on);
    virtual void SetHandCursor(bool on);
    virtual void OnShow();
    virtual void OnNotify(std::int32_t kind, std::vector<std::int32_t> numbers,
                          std::vector<std::string> texts);
    virtual void SetTabStop(bool on);
    virtual void Create() = 0;

    // Position and size, for an element not created yet.
    void Place(std::int32_t left, std::int32_t top, std::int32_t newWidth, std::int32_t newHeight) {
        x = left;
        y = top;
        width = newWidth;
        height = newHeight;
    }
    void Show();
    void Hide();
    POINT GetPosition();
    std::wstring GetText();
    std::string GetTextNarrow();
    void UpdateTooltip();
    void AttachTooltip(HWND parentWindow, GUIElement* element);

    // Sends the font to the live window, again after the font was made anew.
    void ApplyFont();
    // Moves and sizes the element, live or not.
    void SetBounds(std::int32_t left, std::int32_t top, std::int32_t newWidth,
                   std::int32_t newHeight);

    // True when the caller is not the thread that owns the window.
    bool IsForeignThread() const;
    // Runs the operation on the window's thread (synchronously); directly when
    // the caller owns the window or there is none.
    void RunOnWindowThread(const std::function<void()>& operation);

protected:
    HINSTANCE ModuleInstance() const { return windowClass.hInstance; }
    // Points the window at the toolkit's procedure, keeping the control's own.
    void Subclass();

private:
    void SetTextHere(const std::wstring& newText);
    std::wstring ReadLiveText();
    void RepaintBackground();
    void FillWithBackColor(HDC context, const RECT& area) const;
    TOOLINFOW ToolRecord(std::wstring& textBuffer) const;
    void RestoreOwnWindowProcedure();
};

// Marks an element that lives inside a parent window.
class Child : public GUIElement {
public:
    Child() : GUIElement(nullptr) {}

protected:
    // A control of 80 x 30 inside parentElement, showing caption.
    Child(GUIElement* parentElement, const std::string& caption, const char* kind);
    // The creation recipe shared by controls on standard classes: a new id,
    // visible child style, subclassing, tooltip and font.
    void CreateControl(const wchar_t* className, DWORD ownStyle, DWORD extendedStyle,
                       bool honoursTabStop);
};

// Elements that raise onClick on WM_COMMAND (buttons, check boxes, menu items).
class CommandElement {
public:
    virtual ~CommandElement() = default;
    ClickHandler onClick;
    // Runs before onClick; a check box inverts its state here.
    virtual void BeforeClick() {}
};

} // namespace NBUtility
