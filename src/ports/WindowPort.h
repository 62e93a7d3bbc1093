// What the core asks of the main window: keep it alive during long work and
// close it through its normal close path.
#pragma once

#include <cstdint>

namespace discforge {

class WindowPort {
public:
    virtual ~WindowPort() = default;
    // Handles every pending window event, then returns.
    virtual void PumpMessages() = 0;
    // Milliseconds of a steady clock; it wraps, so compare differences.
    virtual std::uint32_t TickCount() = 0;
    // Handles every pending window event, then sleeps until the next event or
    // until TickCount() reaches `deadline`, handling events as they come.
    virtual void PumpMessagesUntil(std::uint32_t deadline) = 0;
    // Asks the main window to close once control returns to its event loop.
    virtual void PostCloseRequest() = 0;
    // The window the encoder's own progress window opens over; null without one.
    virtual void* NativeHandle() = 0;
};

} // namespace discforge
