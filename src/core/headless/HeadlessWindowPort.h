// The main window of a run without one: no events to pump (a hook may stand in
// for them), a close request remembered.
#pragma once

#include "ports/WindowPort.h"

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
    void PostCloseRequest() override { ++closeRequests; }
    void* NativeHandle() override { return nullptr; }

    int pumps = 0;
    int closeRequests = 0;
    // Runs at every pump, as a handled event would.
    std::function<void()> onPump;
};

} // namespace discforge
