// Doubles for the ports of the input table, a scratch folder and a tiny BMP
// writer, shared by the input tests.
#pragma once

#include "core/ConversionSettings.h"
#include "core/RunLog.h"
#include "core/headless/HeadlessInputHost.h"
#include "core/headless/MemoryControlSurface.h"
#include "core/headless/RecordingMessagePort.h"
#include "input/InputTable.h"
#include "input/InputTableState.h"
#include "input/VideoStreamReader.h"
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
    const HeadlessInputHost* host = nullptr;

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

    // The ports first: they outlive the state that holds what they made (a progress window).
    RecordingMessagePort messages;
    MemoryControlSurface controls;
    HeadlessInputHost host;
    ConversionSettings settings;
    RunLog runLog;
    InputTableState state;
    FakeStreamReader streams{state};
    TFullDib picture;
    bool stopRequested = true;
    InputTable table{state, settings, runLog, {messages, controls, host, streams, picture, stopRequested}};
};

} // namespace discforge::test
