// A rig of the real input table, stream reader, AVI reader and fetch over
// generated files, with recording doubles for the window's ports.
#pragma once

#include "app/ConversionSettings.h"
#include "app/RunLog.h"
#include "input/FrameFetch.h"
#include "input/InputHost.h"
#include "input/InputTable.h"
#include "input/MediaInputState.h"
#include "input/StreamObjects.h"
#include "input/StreamReader.h"
#include "picture/TFullDib.h"
#include "platform/MemoryControlSurface.h"
#include "platform/MessagePort.h"
#include "support/RecordingPorts.h"
#include "platform/WindowPort.h"

#include "SampleMedia.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace discforge::test {

class PumpingWindow final : public WindowPort {
public:
    void PumpMessages() override
    {
        ++pumps;
        if (onPump) {
            onPump();
        }
    }
    void PostCloseRequest() override { }
    int pumps = 0;
    std::function<void()> onPump;
};

class StatusDialog final : public TCancelDialog {
public:
    StatusDialog(bool& cancelRequested, std::vector<std::string>& statuses, int& closes)
        : TCancelDialog(cancelRequested)
        , statuses_(statuses)
        , closes_(closes)
    {
    }
    bool Create() override { return true; }
    void SetCaption(const std::string&) override { }
    void SetUpperText(const std::string&) override { }
    void SetStatusText(const std::string& text) override { statuses_.push_back(text); }
    void Close() override { ++closes_; }

private:
    std::vector<std::string>& statuses_;
    int& closes_;
};

class RecordingHost final : public InputHost {
public:
    void SetMainWindowEnabled(bool enabled) override { mainWindowEnabled = enabled; }
    void SetWaitCursor(bool shown) override { waitCursor = shown; }
    void DeleteListLine(int) override {}
    void InsertListLine(int, const std::string&) override {}
    void SelectListLine(int) override {}
    void PostRemoveCommand() override {}
    void RefreshInputControls() override {}
    std::unique_ptr<TCancelDialog> MakeCancelDialog(bool& cancelRequested) override
    {
        return std::make_unique<StatusDialog>(cancelRequested, statuses, dialogCloses);
    }
    bool mainWindowEnabled = true;
    bool waitCursor = false;
    std::vector<std::string> statuses;
    int dialogCloses = 0;
};

struct ReaderRig {
    ReaderRig();
    // Opens and counts, as the open command does.
    bool AddVideo(const std::string& path);
    InputEntry& Entry(int index) { return inputs.inputTable[static_cast<std::size_t>(index)]; }
    std::vector<std::string> LogLines() const;
    MmStream& VideoOf(int index);
    // The frame number the entry's surface shows; -2 when it cannot be locked.
    std::int64_t ShownNumber(int index);

    ConversionSettings settings;
    RunLog runLog;
    InputTableState inputs;
    MediaInputState media;
    RecordingMessagePort messages;
    MemoryControlSurface controls;
    PumpingWindow window;
    RecordingHost host;
    StreamReader reader{MediaInputContext{inputs, settings, runLog, media, {messages, controls, window, host, {}, {}}}};
    FrameFetch fetch{
        MediaInputContext{inputs, settings, runLog, media, {messages, controls, window, host, {}, {}}}, reader};
    TFullDib picture;
    InputTable table{inputs, settings, runLog, {messages, controls, host, reader, picture, media.run.batchStop}};
};

mediagen::AviRecipe SmallRecipe(mediagen::VideoCodec codec, mediagen::AudioForm audio,
    mediagen::FrameRate rate = mediagen::FrameRate::Pal25, std::int64_t frames = 50);

} // namespace discforge::test
