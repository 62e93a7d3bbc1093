// A rig of the real input table, stream reader, AVI reader and fetch over
// generated files, with recording doubles for the window's ports.
#pragma once

#include "core/ConversionSettings.h"
#include "core/RunLog.h"
#include "core/headless/HeadlessInputHost.h"
#include "core/headless/HeadlessWindowPort.h"
#include "core/headless/MemoryControlSurface.h"
#include "core/headless/RecordingMessagePort.h"
#include "input/FrameFetch.h"
#include "input/InputTable.h"
#include "input/MediaInputState.h"
#include "input/StreamObjects.h"
#include "input/StreamReader.h"
#include "picture/TFullDib.h"
#include "support/ScriptedFilterDialog.h"

#include "SampleMedia.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace discforge::test {

struct ReaderRig {
    ReaderRig();
    // Opens and counts, as the open command does.
    bool AddVideo(const std::string& path);
    InputEntry& Entry(int index) { return inputs.inputTable[static_cast<std::size_t>(index)]; }
    std::vector<std::string> LogLines() const;
    MmStream& VideoOf(int index);
    // The frame number the entry's surface shows; -2 when it cannot be locked.
    std::int64_t ShownNumber(int index);

    // The ports first: they outlive the state that holds what they made (a progress window).
    RecordingMessagePort messages;
    MemoryControlSurface controls;
    HeadlessWindowPort window;
    HeadlessInputHost host;
    ScriptedFilterDialog filterDialog;
    ConversionSettings settings;
    RunLog runLog;
    InputTableState inputs;
    MediaInputState media;
    StreamReader reader{
        MediaInputContext{inputs, settings, runLog, media, {messages, controls, window, host, filterDialog}}};
    FrameFetch fetch{
        MediaInputContext{inputs, settings, runLog, media, {messages, controls, window, host, filterDialog}}, reader};
    TFullDib picture;
    InputTable table{inputs, settings, runLog, {messages, controls, host, reader, picture, media.run.batchStop}};
};

mediagen::AviRecipe SmallRecipe(mediagen::VideoCodec codec, mediagen::AudioForm audio,
    mediagen::FrameRate rate = mediagen::FrameRate::Pal25, std::int64_t frames = 50);

} // namespace discforge::test
