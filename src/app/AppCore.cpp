#include "app/AppCore.h"

#include <utility>

namespace discforge {

AppCore::AppCore(AppPorts corePorts, SizeEditHooks hooks)
    : ports(corePorts)
    , settingsController(settings, encoder, ports.controls, ports.messages, ports.window, std::move(hooks))
{
}

} // namespace discforge
