// What the converter asks of the window around it, or of its stand-ins when
// there is none.
#pragma once

namespace discforge {

class ControlSurface;
class FilterDialogPort;
class InputHost;
class MessagePort;
class PowerPort;
class ShellPort;
class WindowPort;

struct AppPorts {
    MessagePort& messages;
    WindowPort& window;
    ControlSurface& controls;
    InputHost& host;
    PowerPort& power;
    ShellPort& shell;
    FilterDialogPort& filterDialog;
};

} // namespace discforge
