// The real core with headless ports and a stand-in encoder, over inputs made
// by the sample generator.
#pragma once

#include "app/AppParts.h"
#include "support/FakeEncoder.h"
#include "support/HeadlessAppPorts.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace discforge::test {

struct ConversionRig : HeadlessAppPorts {
    ConversionRig();
    // Opens and counts an input as the open command does, naming its output.
    bool AddInput(const std::string& path);
    InputEntry& Entry(int index) { return core.inputs.inputTable[static_cast<std::size_t>(index)]; }
    // Makes `index` the current, active input, as a run does.
    void MakeCurrent(int index);
    std::vector<std::string> MakeCalls() const;

    FakeEncoder fake{"full"};
    AppParts core{Ports()};
};

// A picture list of `pictures` numbered pictures; bare names unless `fullPaths`.
std::string SampleList(int pictures, int width, int height, bool fullPaths = false);
// A copy of `source` made by the ffmpeg command-line tool with `arguments` (codec
// and its settings) into `name` in the sample folder, as users make their clips.
std::string FfmpegCopy(const std::string& source, const std::string& arguments, const std::string& name);

// The frame number shown by a bottom-up 32-bit picture; -1 when unreadable.
std::int64_t NumberInPicture(const std::uint8_t* pixels, int rowBytes, int height);

// A picture the video supply handed out: 32-bit rows, bottom row first.
struct Supplied {
    int result = -1;
    std::int32_t rowBytes = 0;
    const std::uint8_t* pixels = nullptr;
};

// Blue-green-red of pixel (x, y) counted from the top left of a supplied picture.
std::uint32_t PixelAt(const Supplied& supplied, int height, int x, int y);
// Black columns on the left of the middle row.
int BlackColumnsOnTheLeft(const Supplied& supplied, int height);

} // namespace discforge::test
