#pragma once
// Event slots: one handler per slot, an empty slot means unbound. A handler may
// capture its form, so no lookup through parent links is needed.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace NBUtility {

class GUIElement;

using CreatedHandler = std::function<void(GUIElement* element, HWND window)>;
using MouseButtonHandler =
    std::function<std::int32_t(GUIElement* element, HWND window, std::int32_t x, std::int32_t y)>;
using KeyHandler = std::function<std::int32_t(GUIElement* element, std::int32_t virtualKey)>;
// false swallows the character.
using CharHandler = std::function<bool(GUIElement* element, std::int32_t character)>;
using ElementHandler = std::function<std::int32_t(GUIElement* element)>;
// false vetoes the close.
using ClosingHandler = std::function<bool(GUIElement* element)>;
using MouseMoveHandler =
    std::function<std::int32_t(GUIElement* element, std::int32_t x, std::int32_t y)>;
using ClickHandler = std::function<void(GUIElement* element)>;
// The Windows session ends for certain: the process may be ended as soon as
// the handler returns.
using EndSessionHandler = std::function<void(GUIElement* element)>;
using DpiChangedHandler = std::function<void(GUIElement* element, std::int32_t dpi)>;
// Paths dropped on a form, in the order the drag source gave them.
using FilesDroppedHandler =
    std::function<void(GUIElement* element, const std::vector<std::wstring>& paths)>;

} // namespace NBUtility
