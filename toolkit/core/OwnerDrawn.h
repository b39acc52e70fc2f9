#pragma once
// Controls that paint themselves when their parent receives WM_DRAWITEM.

#include <windows.h>

namespace NBUtility {

class OwnerDrawn {
public:
    virtual ~OwnerDrawn() = default;
    // Answers whether the item was painted.
    virtual bool DrawItem(const DRAWITEMSTRUCT& item) = 0;
};

} // namespace NBUtility
