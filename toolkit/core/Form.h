#pragma once
// Top-level window with a class of its own, global hot keys live while it is
// in front, centring and client sizing; and the process's message loop.

#include "DpiLayout.h"
#include "GUIElement.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace NBUtility {

class Form;

struct HotKeyEntry {
    std::int32_t modifiers = 0;
    std::int32_t virtualKey = 0;
    std::function<void(Form* form, std::int32_t modifiers, std::int32_t virtualKey)> callback;
};

// Selects the tool-window constructor.
struct ToolWindowFrame {};

class Form : public GUIElement {
public:
    explicit Form(HINSTANCE moduleInstance);
    Form(HINSTANCE moduleInstance, ToolWindowFrame);
    // Destroys a live window without raising any handler: a derived form's
    // handlers are gone by now. Derived forms that want onClosing or
    // onDestroyed at their end call DestroyNow from their own destructor.
    ~Form() override;

    GUIElement* companion = nullptr; // not owned
    // The window that owns this one (it stays above its owner); not owned.
    HWND ownerWindow = nullptr;
    bool topMost = true;
    bool minimizeBox = true;
    bool resizable = true;
    bool standardFrame = true;
    bool toolWindow = false;
    bool modalFrame = false;
    std::vector<HotKeyEntry> hotKeys;
    std::int32_t iconResourceId = 0;
    // Bound before Create, the form accepts files dropped on it.
    FilesDroppedHandler onFilesDropped;
    // Raised by WM_ENDSESSION when the session does end; the question before
    // it (WM_QUERYENDSESSION) is answered yes, as it must not undo anything.
    EndSessionHandler onEndSession;
    // Raised once the form has followed a change of its monitor's DPI.
    DpiChangedHandler onDpiChanged;
    // The form's controls and fonts, drawn for 96 DPI.
    DpiLayout layout;

    void Create() override;
    virtual void DisposeElements() {}

    void CenterOnScreen();
    void SetClientSize(std::int32_t clientWidth, std::int32_t clientHeight);
    void RegisterHotKeys();
    void UnregisterHotKeys();
    // WM_DPICHANGED: the layout at the new DPI, the window at the rectangle
    // the system suggests, then onDpiChanged.
    void FollowDpi(std::int32_t newDpi, const RECT& suggested);
    // Destroys the window now, with every handler raised as usual.
    void DestroyNow();

    // Name of the window class this form registered (empty once released).
    const std::wstring& ClassName() const { return className_; }
    // Called by the window procedure once the form's window is gone.
    void OnWindowGone();

    // Window style and extended style computed from the flags.
    DWORD FrameStyle() const;
    DWORD FrameExtendedStyle() const;

private:
    void RegisterOwnClass();
    void RetireClass();

    std::wstring className_;
};

// Queues a class whose only window is gone (or going) for unregistering.
void RetireWindowClass(const std::wstring& className, HINSTANCE instance);

// Unregisters the retired classes that no window uses any more; the system
// frees a class's background brush with it.
void ReleaseRetiredWindowClasses();

// Runs until the main window is destroyed (or GetMessageW fails); returns the
// quit code, or -1 after a failure.
int RunMessageLoop(Form* mainForm);

} // namespace NBUtility
