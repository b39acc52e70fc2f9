#include "Timer.h"

#include "ElementRegistry.h"

namespace NBUtility {

Timer::Timer(GUIElement* parentForm, std::int32_t intervalMilliseconds)
    : interval(intervalMilliseconds) {
    width = 50;
    height = 22;
    text = L"timer";
    typeName = "timer";
    parent = parentForm;
}

Timer::~Timer() {
    Stop();
    if (window != nullptr && IsWindow(window) && !IsForeignThread()) {
        DestroyWindow(window);
    }
}

void Timer::Create() {
    if (created) {
        return;
    }
    id = TakeNextControlId();
    const DWORD style = enabled ? WS_CHILD : (WS_CHILD | WS_DISABLED);
    HWND parentWindow = parent != nullptr ? parent->window : nullptr;
    window = CreateWindowExW(0, L"static", text.c_str(), style, x, y, width, height, parentWindow,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    if (window == nullptr) {
        return;
    }
    Subclass();
    created = true;
}

// Before its first start the timer has no window of its own; the parent's
// thread is the one that must make it and own the system timer.
GUIElement* Timer::ThreadOwner() {
    return window == nullptr && parent != nullptr ? parent : this;
}

void Timer::Start() {
    ThreadOwner()->RunOnWindowThread([&] {
        if (running) {
            return;
        }
        Create();
        SetTimer(parent != nullptr ? parent->window : nullptr, id, static_cast<UINT>(interval),
                 nullptr);
        running = true;
    });
}

void Timer::Stop() {
    ThreadOwner()->RunOnWindowThread([&] {
        if (!running) {
            return;
        }
        KillTimer(parent != nullptr ? parent->window : nullptr, id);
        running = false;
    });
}

} // namespace NBUtility
