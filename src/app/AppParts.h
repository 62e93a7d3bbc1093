// The pieces of the converter and the state they share: settings, run log,
// the encoder library with its record, the table of opened inputs with their
// readers, and the supplies the encoder pulls from. The application's own
// pieces (supplies, run, commands) work on it; everyone else goes through
// AppCore's operations.
#pragma once

#include "app/AppPorts.h"
#include "app/AudioSupply.h"
#include "app/BatchStandard.h"
#include "app/InputCommands.h"
#include "app/OptionControls.h"
#include "app/PreviewState.h"
#include "app/Previews.h"
#include "app/ProjectCommands.h"
#include "app/SettingsController.h"
#include "app/SubtitleBurnIn.h"
#include "app/VideoSupply.h"
#include "app/WindowRefresh.h"
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

class AppParts {
public:
    explicit AppParts(AppPorts ports, SizeEditHooks hooks = {});
    AppParts(const AppParts&) = delete;
    AppParts& operator=(const AppParts&) = delete;

    AppPorts ports;
    ConversionSettings settings;
    RunLog runLog;
    EncoderLibrary encoder;
    EncodeParameters encodeParameters{};
    SettingsController settingsController;
    BatchStandard batchStandard{*this};
    InputTableState inputs;
    MediaInputState media;
    // The full-size work picture: list pictures are loaded and every frame is
    // prepared in it.
    TFullDib workPicture;
    // The subtitles drawn into the picture, for the frame supply and the output preview alike.
    SubtitleBurnIn subtitleBurnIn;
    StreamReader streamReader;
    FrameFetch frameFetch;
    InputTable inputTable;
    VideoSupply videoSupply;
    AudioSupply audioSupply;
    InputCommands inputCommands;
    PreviewState preview;
    Previews previews;
    WindowRefresh windowRefresh;
    OptionControls optionControls;
    // The user cancelled the running conversion: no further input is encoded.
    bool stopConversion = false;
    ProjectCommands projectCommands;
    // The output preview runs the whole picture pipeline (else it shows the
    // decoded frame as it is); project files keep the switch.
    bool liveOutputPreview = true;

private:
    MediaInputContext MediaContext();
};

} // namespace discforge
