// Powering the computer off through systemd (logind decides whether this user may).
#pragma once

#include "ports/PowerPort.h"

namespace discforge {

class SystemPower final : public PowerPort {
public:
    bool PowerOff() override;
};

} // namespace discforge
