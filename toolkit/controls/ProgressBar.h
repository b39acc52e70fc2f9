#pragma once
// The common-controls progress bar: an integer range and a clamped position.

#include "GUIElement.h"

#include <cstdint>

namespace NBUtility {

class ProgressBar : public Child {
public:
    explicit ProgressBar(GUIElement* parentElement);

    std::int32_t minimum = 0;
    std::int32_t maximum = 100;
    std::int32_t value = 0; // kept within [minimum, maximum]
    bool border = false;

    void Create() override;
    // Also called by the worker thread; the bar moves on the interface thread.
    void SetValue(std::int32_t newValue);
    // The position the bar shows, read on the interface thread.
    std::int32_t GetValue();

    // The range message's parameter: each end travels as a 16-bit half.
    static LPARAM PackedRange(std::int32_t low, std::int32_t high);

private:
    std::int32_t Clamped(std::int32_t candidate) const;
    void SendPosition() { SendMessageW(window, PBM_SETPOS, static_cast<WPARAM>(value), 0); }
};

} // namespace NBUtility
