// The converter that the window, the command-line tool and the tests share:
// settings, run log, the encoder library with its record, the table of opened
// inputs with their readers, and the supplies the encoder pulls from.
#pragma once

#include "app/AudioSupply.h"
#include "app/InputCommands.h"
#include "app/SettingsController.h"
#include "app/VideoSupply.h"
#include "core/ConversionSettings.h"
#include "core/RunLog.h"
#include "encoder/EncodeParameters.h"
#include "encoder/EncoderLibrary.h"
#include "input/FrameFetch.h"
#include "input/InputTable.h"
#include "input/InputTableState.h"
#include "input/MediaInputState.h"
#include "input/StreamReader.h"
#include "picture/TFullDib.h"

namespace discforge {

class ControlSurface;
class FilterDialogPort;
class InputHost;
class MessagePort;
class PowerPort;
class ShellPort;
class WindowPort;

// What the converter asks of the window around it (or of its stand-ins without one).
struct AppPorts {
    MessagePort& messages;
    WindowPort& window;
    ControlSurface& controls;
    InputHost& host;
    PowerPort& power;
    ShellPort& shell;
    FilterDialogPort& filterDialog;
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
    MediaInputState media;
    // The full-size work picture: list pictures are loaded and every frame is
    // prepared in it.
    TFullDib workPicture;
    StreamReader streamReader;
    FrameFetch frameFetch;
    InputTable inputTable;
    VideoSupply videoSupply;
    AudioSupply audioSupply;
    InputCommands inputCommands;

private:
    MediaInputContext MediaContext();
};

} // namespace discforge
