#pragma once
// The toolkit's single window procedure and the routing state it keeps.

#include <windows.h>

namespace NBUtility {

class Form;
class GUIElement;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The first form window ever created; its destruction ends the message loop.
HWND MainWindow();
void SetMainWindowIfUnset(HWND window);

// The form most recently activated, or null.
Form* ActiveForm();

// Drops every routing reference to an element that is going away.
void ForgetElement(const GUIElement* element);

// While alive, messages to the window and its children raise no handler: they
// only get default processing (a deleted form's controls may still be
// registered, and their handlers may reach the half-destroyed form).
class QuietTeardown {
public:
    explicit QuietTeardown(HWND window);
    ~QuietTeardown();
    QuietTeardown(const QuietTeardown&) = delete;
    QuietTeardown& operator=(const QuietTeardown&) = delete;

private:
    HWND previous_;
};

// Private message that carries an operation to the window's own thread.
UINT RunOperationMessage();
WPARAM RunOperationKey();

} // namespace NBUtility
