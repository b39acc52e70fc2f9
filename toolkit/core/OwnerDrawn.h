#pragma once
// Elements that paint their own control when the parent gets WM_DRAWITEM
// (owner-drawn buttons).

#include "Drawing.h"

#include <windows.h>

namespace NBUtility {

class OwnerDrawn {
public:
    virtual ~OwnerDrawn() = default;
    // surface borrows the item's context for the length of the call.
    virtual void PaintItem(Drawing& surface, const DRAWITEMSTRUCT& item) = 0;
};

} // namespace NBUtility
