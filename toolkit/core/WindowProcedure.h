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

// Private message that carries an operation to the window's own thread.
UINT RunOperationMessage();
WPARAM RunOperationKey();

} // namespace NBUtility
