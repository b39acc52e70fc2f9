#pragma once
// The process-wide list of live elements (owning none) and the control-id
// counter. Only the interface thread touches them.

#include <windows.h>

#include <cstdint>
#include <vector>

namespace NBUtility {

class GUIElement;

// Last id handed out; every native window made by the toolkit takes the next one.
extern std::uint32_t NextControlId;
// The one way an element gets its id: the next one, counted.
std::uint32_t TakeNextControlId();

class ElementRegistry {
public:
    static void Add(GUIElement* element);
    // Removes the last entry equal to element.
    static void Remove(const GUIElement* element);

    // The element whose window is handle. Messages that arrive before
    // CreateWindowExW returns go to the element whose Create is running, and
    // only while it has no window yet.
    static GUIElement* FindByWindow(HWND handle);
    static GUIElement* FindById(std::uint32_t id);

    static const std::vector<GUIElement*>& Elements();

    // Marks the element whose Create is running (nested creations stack).
    class CreationScope {
    public:
        explicit CreationScope(GUIElement* element);
        ~CreationScope();
        CreationScope(const CreationScope&) = delete;
        CreationScope& operator=(const CreationScope&) = delete;
    };
};

} // namespace NBUtility
