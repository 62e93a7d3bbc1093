// The main window of a run without one: no events to pump (a hook may stand in
// for them), a close request remembered, and a clock that moves only when a
// wait for a deadline lets it.
#pragma once

#include "ports/WindowPort.h"

#include <cstdint>
#include <functional>

namespace discforge {

class HeadlessWindowPort final : public WindowPort {
public:
    void PumpMessages() override
    {
        ++pumps;
        if (onPump) {
            onPump();
        }
    }
    std::uint32_t TickCount() override { return ticks; }
    void PumpMessagesUntil(std::uint32_t deadline) override
    {
        PumpMessages();
        if (static_cast<std::int32_t>(deadline - ticks) > 0) {
            ticks = deadline;
        }
    }
    void PostCloseRequest() override { ++closeRequests; }
    void* NativeHandle() override { return nullptr; }

    int pumps = 0;
    int closeRequests = 0;
    std::uint32_t ticks = 0;
    // Runs at every pump, as a handled event would.
    std::function<void()> onPump;
};

} // namespace discforge
