// What the stream reader, the AVI reader and the fetch work on: the input
// table, the settings, the run log, their own state and the window's ports.
#pragma once

#include "input/InputTableState.h"
#include "input/MediaInputState.h"
#include "platform/MmStream.h"

#include <functional>
#include <string>
#include <vector>

namespace discforge {

struct ConversionSettings;
class ControlSurface;
class InputHost;
class MessagePort;
class RunLog;
class WindowPort;

struct MediaInputPorts {
    MessagePort& messages;
    ControlSurface& controls;
    WindowPort& window;
    InputHost& host;
    // Asks a yes/no question with a warning icon; true for yes. Unset: yes.
    std::function<bool(const std::string& text, const std::string& caption)> askYesNo;
    // Runs the decoder properties dialog on the video decoder chain. Unset: nothing.
    std::function<void(const std::vector<MmComponent>& components)> editFilters;
};

struct MediaInputContext {
    InputTableState& inputs;
    ConversionSettings& settings;
    RunLog& runLog;
    MediaInputState& media;
    MediaInputPorts ports;
};

} // namespace discforge
