#pragma once
// Bounded waits that keep the interface thread pumping, a watchdog that ends a
// test that overruns, and small elements to route messages to.

#include "Form.h"
#include "GUIElement.h"

#include <windows.h>

#include <functional>

namespace NBTest {

constexpr DWORD WaitBoundMilliseconds = 5000;

// Pumps this thread's messages until done() holds or the bound passes;
// answers whether done() held.
bool PumpUntil(const std::function<bool()>& done, DWORD boundMilliseconds = WaitBoundMilliseconds);

// Pumps this thread's messages for the given time.
void PumpFor(DWORD milliseconds);

// Answers the first message box of this process with OK from a thread of its
// own, once ready() holds; gives up after the bound.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::function<bool()> ready);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Waits for the watcher to finish; true when it found and answered a box.
    bool Answered();

private:
    static DWORD WINAPI Watch(LPVOID self);
    std::function<bool()> ready_;
    HANDLE thread_ = nullptr;
    bool answered_ = false;
};

// An edit control, the simplest subclassed standard control.
class TestEdit : public NBUtility::Child {
public:
    explicit TestEdit(NBUtility::GUIElement* parentElement);
    void Create() override;
};

// A static text, which has no context menu.
class TestLabel : public NBUtility::Child {
public:
    explicit TestLabel(NBUtility::GUIElement* parentElement);
    void Create() override;
};

// A push button that raises onClick.
class TestButton : public NBUtility::Child, public NBUtility::CommandElement {
public:
    explicit TestButton(NBUtility::GUIElement* parentElement);
    void Create() override;
};

// A visible form of 300 x 200 at (50, 50), created.
NBUtility::Form* NewShownForm(const wchar_t* caption = L"test");

} // namespace NBTest
