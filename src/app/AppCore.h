// The state of the converter that the window, the command-line tool and the
// tests share: settings, run log, the encoder library with its record and the
// table of opened inputs.
#pragma once

#include "app/ConversionSettings.h"
#include "app/RunLog.h"
#include "app/SettingsController.h"
#include "encoder/EncodeParameters.h"
#include "encoder/EncoderLibrary.h"
#include "input/InputTableState.h"

namespace discforge {

class ControlSurface;
class MessagePort;
class WindowPort;

struct AppPorts {
    MessagePort& messages;
    WindowPort& window;
    ControlSurface& controls;
};

class AppCore {
public:
    explicit AppCore(AppPorts ports, SizeEditHooks hooks = {});
    AppCore(const AppCore&) = delete;
    AppCore& operator=(const AppCore&) = delete;

    AppPorts ports;
    ConversionSettings settings;
    RunLog runLog;
    EncoderLibrary encoder;
    EncodeParameters encodeParameters{};
    SettingsController settingsController;
    InputTableState inputs;
};

} // namespace discforge
