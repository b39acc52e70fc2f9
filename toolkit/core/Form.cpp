#include "Form.h"

#include "AccessKeys.h"
#include "ElementRegistry.h"
#include "GdiHandles.h"
#include "TextConversion.h"
#include "WindowProcedure.h"

#include <shellapi.h>

#include <algorithm>

namespace NBUtility {

namespace {

struct RetiredClass {
    std::wstring name;
    HINSTANCE instance;
};

std::vector<RetiredClass>& RetiredClasses() {
    static std::vector<RetiredClass> retired;
    return retired;
}

constexpr DWORD StandardFrameStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX;

} // namespace

Form::Form(HINSTANCE moduleInstance) : GUIElement(moduleInstance) {
    typeName = "form";
}

Form::Form(HINSTANCE moduleInstance, ToolWindowFrame) : Form(moduleInstance) {
    toolWindow = true;
}

Form::~Form() {
    if (window != nullptr && IsWindow(window)) {
        UnregisterHotKeys();
        // Detach first: no message of the teardown reaches this half-destroyed object.
        HWND dying = window;
        window = nullptr;
        created = false;
        QuietTeardown quiet(dying);
        DestroyWindow(dying);
    }
    RetireClass();
    ReleaseRetiredWindowClasses();
}

void Form::DestroyNow() {
    if (window != nullptr && IsWindow(window)) {
        DestroyWindow(window);
    }
}

DWORD Form::FrameStyle() const {
    DWORD style = WS_POPUP;
    if (standardFrame) {
        style = StandardFrameStyle;
        if (minimizeBox) {
            style |= WS_MINIMIZEBOX;
        }
        if (resizable) {
            style |= WS_THICKFRAME | WS_MAXIMIZEBOX;
        }
    }
    if (toolWindow) {
        style = modalFrame ? (StandardFrameStyle | DS_MODALFRAME) : StandardFrameStyle;
    }
    if (!resizable) {
        style &= ~static_cast<DWORD>(WS_MAXIMIZEBOX);
    }
    if (!minimizeBox) {
        style &= ~static_cast<DWORD>(WS_MINIMIZEBOX);
    }
    if (!enabled) {
        style |= WS_DISABLED;
    }
    return style;
}

DWORD Form::FrameExtendedStyle() const {
    if (!toolWindow) {
        return 0;
    }
    const DWORD tool = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;
    return topMost ? (tool | WS_EX_TOPMOST) : tool;
}

void Form::RegisterOwnClass() {
    id = TakeNextControlId();
    // Named after the counter before this form took its id.
    className_ = L"Window" + ToWide(Int64ToText(static_cast<std::int64_t>(id) - 1));
    HINSTANCE instance = ModuleInstance();
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    // A brush of our own belongs to the class once registered: the system
    // frees it with the class. The system colour brush is never freed.
    GdiObject<HBRUSH> ownBrush(backColor != NoColor ? CreateSolidBrush(backColor) : nullptr);
    windowClass.hbrBackground = ownBrush ? ownBrush.Get() : GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszMenuName = nullptr;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // Icons from LoadIconW are shared by the system and never destroyed.
    windowClass.hIcon = iconResourceId != 0 ? LoadIconW(instance, MAKEINTRESOURCEW(iconResourceId))
                                            : LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.lpszClassName = className_.c_str();
    if (RegisterClassW(&windowClass) != 0) {
        ownBrush.Release();
    } else if (ownBrush) {
        windowClass.hbrBackground = nullptr;
    }
}

void Form::Create() {
    if (created) {
        return;
    }
    ReleaseRetiredWindowClasses();
    const std::wstring title = text;
    RegisterOwnClass();
    {
        ElementRegistry::CreationScope creating(this);
        // Created hidden and shown once created is set, so OnShow may size it.
        HWND made = CreateWindowExW(FrameExtendedStyle(), className_.c_str(), title.c_str(),
                                    FrameStyle() & ~static_cast<DWORD>(WS_VISIBLE), x, y, width,
                                    height, ownerWindow, nullptr, ModuleInstance(), nullptr);
        if (window == nullptr) {
            window = made;
        }
    }
    if (window == nullptr) {
        return; // created stays false: there is no window
    }
    SetMainWindowIfUnset(window);
    Attach(window);
    created = true;
    InitializeAccessKeyCues(window);
    if (onFilesDropped) {
        DragAcceptFiles(window, TRUE);
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    AttachTooltip(window, this);
    ApplyFont();
}

void Form::CenterOnScreen() {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RunOnWindowThread([&] {
        if (created) {
            RECT frame{};
            GetWindowRect(window, &frame);
            width = frame.right - frame.left;
            height = frame.bottom - frame.top;
        }
        x = (screenWidth - width) / 2;
        y = (screenHeight - height) / 2;
        if (created) {
            SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            Redraw();
        }
    });
}

void Form::SetClientSize(std::int32_t clientWidth, std::int32_t clientHeight) {
    RunOnWindowThread([&] {
        if (!created) {
            return;
        }
        RECT frame{};
        RECT client{};
        GetWindowRect(window, &frame);
        GetClientRect(window, &client);
        const std::int32_t horizontalExtra =
            std::max<std::int32_t>(0, (frame.right - frame.left) - client.right);
        const std::int32_t verticalExtra = (frame.bottom - frame.top) - client.bottom;
        width = client.right;
        height = client.bottom;
        GetPosition();
        SetSize(clientWidth + horizontalExtra,
                verticalExtra >= 0 ? clientHeight + verticalExtra : clientHeight);
    });
}

void Form::FollowDpi(std::int32_t newDpi, const RECT& suggested) {
    layout.Rescale(newDpi);
    ApplyFont();
    if (window != nullptr) {
        SetWindowPos(window, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        GetPosition();
    }
    if (onDpiChanged) {
        onDpiChanged(this, newDpi);
    }
    if (window != nullptr) {
        InvalidateRect(window, nullptr, TRUE);
    }
}

void Form::RegisterHotKeys() {
    for (std::size_t i = 0; i < hotKeys.size(); ++i) {
        RegisterHotKey(window, static_cast<int>(i + 1), static_cast<UINT>(hotKeys[i].modifiers),
                       static_cast<UINT>(hotKeys[i].virtualKey));
    }
}

void Form::UnregisterHotKeys() {
    for (std::size_t k = 1; k <= hotKeys.size(); ++k) {
        UnregisterHotKey(window, static_cast<int>(k));
    }
}

void Form::OnWindowGone() {
    window = nullptr;
    RetireClass();
}

void Form::RetireClass() {
    if (className_.empty()) {
        return;
    }
    RetireWindowClass(className_, ModuleInstance());
    className_.clear();
    windowClass.lpszClassName = nullptr;
}

void RetireWindowClass(const std::wstring& className, HINSTANCE instance) {
    RetiredClasses().push_back({className, instance});
}

void ReleaseRetiredWindowClasses() {
    auto& retired = RetiredClasses();
    retired.erase(
        std::remove_if(retired.begin(), retired.end(),
                       [](const RetiredClass& entry) {
                           WNDCLASSW probe{};
                           if (!GetClassInfoW(entry.instance, entry.name.c_str(), &probe)) {
                               return true;
                           }
                           // Fails while a window of the class still exists.
                           return UnregisterClassW(entry.name.c_str(), entry.instance) != FALSE;
                       }),
        retired.end());
}

int RunMessageLoop(Form* mainForm) {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            return -1;
        }
        const bool dialogKeys = mainForm != nullptr && mainForm->toolWindow &&
                                IsDialogMessageW(mainForm->window, &message);
        if (!dialogKeys) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        ReleaseRetiredWindowClasses();
    }
}

} // namespace NBUtility
