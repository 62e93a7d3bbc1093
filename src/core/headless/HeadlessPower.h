// Power-off requests of a run that must never switch the machine off (tests,
// a dry run): counted, answered as done.
#pragma once

#include "ports/PowerPort.h"

namespace discforge {

class HeadlessPower final : public PowerPort {
public:
    bool PowerOff() override
    {
        ++powerOffs;
        return true;
    }

    int powerOffs = 0;
};

} // namespace discforge
