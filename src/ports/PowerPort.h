// Switching the computer off after a batch.
#pragma once

namespace discforge {

class PowerPort {
public:
    virtual ~PowerPort() = default;
    // Asks the system to power off; false when it refused or could not be asked.
    virtual bool PowerOff() = 0;
};

} // namespace discforge
