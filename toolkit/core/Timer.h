#pragma once
// Periodic ticks on the parent form's window, raised on the interface thread.

#include "GUIElement.h"

#include <cstdint>
#include <functional>

namespace NBUtility {

class Timer;
using TickHandler = std::function<void(Timer* timer)>;

class Timer : public Child {
public:
    Timer(GUIElement* parentForm, std::int32_t intervalMilliseconds);
    ~Timer() override;

    bool running = false;
    std::int32_t interval = 0;
    TickHandler onTick;

    // Makes the hidden window that gives the timer its id.
    void Create() override;
    void Start();
    void Stop();

private:
    GUIElement* ThreadOwner();
};

} // namespace NBUtility
