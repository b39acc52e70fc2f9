#include "ElementRegistry.h"

#include "GUIElement.h"

#include <algorithm>

namespace NBUtility {

std::uint32_t NextControlId = 0;

std::uint32_t TakeNextControlId() {
    return ++NextControlId;
}

namespace {

std::vector<GUIElement*>& Entries() {
    static std::vector<GUIElement*> entries;
    return entries;
}

std::vector<GUIElement*>& Creating() {
    static std::vector<GUIElement*> creating;
    return creating;
}

} // namespace

void ElementRegistry::Add(GUIElement* element) {
    Entries().push_back(element);
}

void ElementRegistry::Remove(const GUIElement* element) {
    auto& entries = Entries();
    const auto last = std::find(entries.rbegin(), entries.rend(), element);
    if (last != entries.rend()) {
        entries.erase(std::next(last).base());
    }
    // An element deleted inside its own Create no longer receives messages.
    for (GUIElement*& creating : Creating()) {
        if (creating == element) {
            creating = nullptr;
        }
    }
}

GUIElement* ElementRegistry::FindByWindow(HWND handle) {
    if (handle == nullptr) {
        return nullptr;
    }
    for (GUIElement* element : Entries()) {
        if (element->window == handle) {
            return element;
        }
    }
    const auto& creating = Creating();
    if (!creating.empty() && creating.back() != nullptr && creating.back()->window == nullptr) {
        return creating.back();
    }
    return nullptr;
}

GUIElement* ElementRegistry::FindById(std::uint32_t id) {
    for (GUIElement* element : Entries()) {
        if (element->id == id) {
            return element;
        }
    }
    return nullptr;
}

const std::vector<GUIElement*>& ElementRegistry::Elements() {
    return Entries();
}

ElementRegistry::CreationScope::CreationScope(GUIElement* element) {
    Creating().push_back(element);
}

ElementRegistry::CreationScope::~CreationScope() {
    Creating().pop_back();
}

} // namespace NBUtility
