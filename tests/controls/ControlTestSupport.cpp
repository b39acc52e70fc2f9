#include "ControlTestSupport.h"

namespace NBTest {

DWORD StyleOf(HWND window) {
    return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
}

DWORD ExtendedStyleOf(HWND window) {
    return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
}

bool HasBits(DWORD value, DWORD bits) {
    return (value & bits) == bits;
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                             WaitBoundMilliseconds, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, WaitBoundMilliseconds, &copied);
    text.resize(copied);
    return text;
}

namespace {

HWND FindDialog(const std::wstring& caption) {
    for (HWND dialog : DialogWindows()) {
        if (caption.empty() || TextOf(dialog) == caption) {
            return dialog;
        }
    }
    return nullptr;
}

} // namespace

DialogWatcher::DialogWatcher(std::function<void(HWND dialog)> action, std::wstring caption,
                             DWORD boundMilliseconds)
    : thread_([this, action, caption, boundMilliseconds] {
          const ULONGLONG deadline = GetTickCount64() + boundMilliseconds;
          while (GetTickCount64() < deadline) {
              if (HWND dialog = FindDialog(caption); dialog != nullptr) {
                  found_ = true;
                  action(dialog);
                  return;
              }
              Sleep(20);
          }
      }) {}

DialogWatcher::~DialogWatcher() {
    Finish();
}

bool DialogWatcher::Finish() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return found_;
}

HWND WaitForControl(HWND dialog, int controlId, DWORD boundMilliseconds) {
    const ULONGLONG deadline = GetTickCount64() + boundMilliseconds;
    for (;;) {
        if (HWND control = GetDlgItem(dialog, controlId); control != nullptr) {
            return control;
        }
        if (GetTickCount64() >= deadline) {
            return nullptr;
        }
        Sleep(20);
    }
}

void PressDialogButton(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

} // namespace NBTest
