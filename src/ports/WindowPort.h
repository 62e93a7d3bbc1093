// What the core asks of the main window: keep it alive during long work and
// close it through its normal close path.
#pragma once

namespace discforge {

class WindowPort {
public:
    virtual ~WindowPort() = default;
    // Handles every pending window event, then returns.
    virtual void PumpMessages() = 0;
    // Asks the main window to close once control returns to its event loop.
    virtual void PostCloseRequest() = 0;
    // The window the encoder's own progress window opens over; null without one.
    virtual void* NativeHandle() = 0;
};

} // namespace discforge
