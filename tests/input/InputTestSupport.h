// Doubles for the ports of the input table, a scratch folder and a tiny BMP
// writer, shared by the input tests.
#pragma once

#include "app/ConversionSettings.h"
#include "app/RunLog.h"
#include "input/InputHost.h"
#include "input/InputTable.h"
#include "input/InputTableState.h"
#include "input/VideoStreamReader.h"
#include "platform/MemoryControlSurface.h"
#include "platform/MessagePort.h"
#include "support/RecordingPorts.h"
#include "picture/TFullDib.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace discforge::test {

class RecordingCancelDialog final : public TCancelDialog {
public:
    struct Record {
        bool windowCreated = false;
        std::string caption;
        std::string upperText;
        int closeCount = 0;
        bool destroyed = false;
    };
    RecordingCancelDialog(bool& cancelRequested, Record& record, bool canCreate)
        : TCancelDialog(cancelRequested), record_(record), canCreate_(canCreate)
    {
    }
    ~RecordingCancelDialog() override { record_.destroyed = true; }
    bool Create() override { return record_.windowCreated = canCreate_; }
    void SetCaption(const std::string& text) override { record_.caption = text; }
    void SetUpperText(const std::string& text) override { record_.upperText = text; }
    void SetStatusText(const std::string&) override {}
    void Close() override { ++record_.closeCount; }

private:
    Record& record_;
    bool canCreate_;
};

class RecordingHost final : public InputHost {
public:
    void SetMainWindowEnabled(bool enabled) override { mainWindowEnabled = enabled; }
    void SetWaitCursor(bool shown) override { waitCursor = shown; }
    void DeleteListLine(int index) override { listBox.erase(listBox.begin() + index); }
    void InsertListLine(int index, const std::string& path) override
    {
        listBox.insert(listBox.begin() + index, path);
    }
    void SelectListLine(int index) override { selectedLine = index; }
    void PostRemoveCommand() override { ++postedRemoves; }
    void RefreshInputControls() override { ++refreshes; }
    std::unique_ptr<TCancelDialog> MakeCancelDialog(bool& cancelRequested) override;

    bool mainWindowEnabled = true;
    bool waitCursor = false;
    std::vector<std::string> listBox;
    int selectedLine = -1;
    int postedRemoves = 0;
    int refreshes = 0;
    bool canMakeDialog = true;
    bool canCreateDialogWindow = true;
    std::deque<RecordingCancelDialog::Record> dialogs; // stable addresses
    RecordingCancelDialog* lastDialog = nullptr;
};

// What the stream reader would find in a file.
struct MediaFigures {
    int width = 320;
    int height = 240;
    double frameRate = 25.0;
    int frames = 100;
    std::int64_t duration = 40000000; // 100-ns units
    bool hasAudio = false;
    int channels = 2;
    int sampleRate = 44100;
    int bitsPerSample = 16;
    int totalSamples = 176400;
};

// Fills entries from MediaFigures registered by path, as the stream reader
// does, and remembers which inputs hold open streams.
class FakeStreamReader final : public VideoStreamReader {
public:
    explicit FakeStreamReader(InputTableState& state) : state_(state) {}
    bool OpenStreams(int index) override;
    void ReleaseStreams(int index) override;

    std::map<std::string, MediaFigures> files;
    std::set<std::string> openPaths;
    // Runs inside OpenStreams, as pumped messages would (the user pressing Cancel).
    std::function<void()> duringOpen;
    bool mainWindowEnabledDuringOpen = true;
    const RecordingHost* host = nullptr;

private:
    InputTableState& state_;
};

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string Path(const std::string& name) const { return (root_ / name).string(); }
    std::string WriteText(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path root_;
};

// A 24-bit BMP of one colour.
void WriteBmp(const std::string& path, int width, int height);

// Everything an InputTable needs, wired to the doubles.
struct InputTableRig {
    InputTableRig();
    // Opens and counts, as the open command does.
    bool AddVideo(const std::string& path, const MediaFigures& figures = {});
    bool AddList(const std::string& path);
    std::vector<std::string> LogLines() const;

    ConversionSettings settings;
    RunLog runLog;
    InputTableState state;
    RecordingMessagePort messages;
    MemoryControlSurface controls;
    RecordingHost host;
    FakeStreamReader streams{state};
    TFullDib picture;
    bool stopRequested = true;
    InputTable table{state, settings, runLog, {messages, controls, host, streams, picture, stopRequested}};
};

} // namespace discforge::test
