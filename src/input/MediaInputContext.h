// What the stream reader, the AVI reader and the fetch work on: the input
// table, the settings, the run log, their own state and the window's ports.
#pragma once

#include "input/InputTableState.h"
#include "input/MediaInputState.h"

namespace discforge {

struct ConversionSettings;
class ControlSurface;
class FilterDialogPort;
class InputHost;
class MessagePort;
class RunLog;
class WindowPort;

struct MediaInputPorts {
    MessagePort& messages;
    ControlSurface& controls;
    WindowPort& window;
    InputHost& host;
    FilterDialogPort& filterDialog;
};

struct MediaInputContext {
    InputTableState& inputs;
    ConversionSettings& settings;
    RunLog& runLog;
    MediaInputState& media;
    MediaInputPorts ports;
};

} // namespace discforge
