#pragma once
// Access keys: the letter marked with '&' in a caption, underlined as Windows
// shows it and reached with Alt, as the dialog manager reaches it.

#include <windows.h>

#include <string>

namespace NBUtility {

// The lower-case letter a single '&' marks in caption, or 0 when none does;
// "&&" is a plain ampersand.
wchar_t AccessKeyOf(const std::wstring& caption);

// The caption as the user reads it: the marks gone, "&&" as one '&'.
std::wstring WithoutAccessKey(const std::wstring& caption);

// Alt+key pressed in root's window tree: the visible, enabled label or button
// whose access key it is acts as in a dialog box. A label focuses the box it
// stands in front of, a button takes the focus and is clicked. False when no
// control has that key (the menu bar may).
bool RunAccessKey(HWND root, wchar_t key);

// A new top-level window hides the underlines until Alt is pressed, unless the
// user asked to see them always (or, on Windows, started it from the keyboard).
void InitializeAccessKeyCues(HWND topLevel);
// Alt was pressed, or the user's setting changed.
void ShowAccessKeyCues(HWND topLevel);
void FollowAccessKeySetting(HWND topLevel);

} // namespace NBUtility
