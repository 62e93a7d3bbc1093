#include "ConversionRig.h"

#include "SampleMedia.h"
#include "app/EncoderCallbacks.h"
#include "app/Startup.h"
#include "mediagen/MediaGen.h"
#include "pattern/FramePattern.h"
#include "support/StreamChecks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace discforge::test {

ConversionRig::ConversionRig()
{
    if (!StartEncoder(core, fake.Path(), {SupplyVideoFrame, SupplyAudio})) {
        throw std::runtime_error("the stand-in encoder did not start");
    }
}

bool ConversionRig::AddInput(const std::string& path) { return core.inputCommands.OpenInput(path); }

void ConversionRig::MakeCurrent(int index)
{
    core.inputTable.DeactivateInput(core.inputs.currentInput);
    core.inputs.currentInput = index;
    ASSERT_TRUE(core.inputTable.ActivateInput(index));
}

std::vector<std::string> ConversionRig::MakeCalls() const
{
    std::vector<std::string> makes;
    for (const std::string& call : fake.Calls()) {
        if (call.rfind("make", 0) == 0 || call.rfind("frame", 0) == 0) {
            makes.push_back(call);
        }
    }
    return makes;
}

std::string SampleList(int pictures, int width, int height, bool fullPaths)
{
    const std::string folder = SampleFolder() + "/list" + std::to_string(pictures) + "_" + std::to_string(width) + "x"
        + std::to_string(height) + (fullPaths ? "_full" : "");
    mediagen::ListRecipe recipe;
    recipe.path = folder + "/pictures.lst";
    recipe.pictures = pictures;
    recipe.width = width;
    recipe.height = height;
    recipe.fullPaths = fullPaths;
    std::string error;
    std::filesystem::create_directories(folder);
    if (!mediagen::WritePictureList(recipe, error)) {
        throw std::runtime_error("cannot generate " + recipe.path + ": " + error);
    }
    return recipe.path;
}

std::string FfmpegCopy(const std::string& source, const std::string& arguments, const std::string& name)
{
    const std::string copy = SampleFolder() + "/" + name;
    const CommandResult made
        = RunCommand("ffmpeg -nostdin -v error -y -i " + Quoted(source) + " " + arguments + " " + Quoted(copy));
    if (made.exitCode != 0) {
        throw std::runtime_error("ffmpeg could not make " + copy + ": " + made.output);
    }
    return copy;
}

std::int64_t NumberInPicture(const std::uint8_t* pixels, int rowBytes, int height)
{
    return pattern::ReadFrameNumber(pattern::ConstPatternImage{pixels, rowBytes / 4, height, rowBytes, 4, true});
}

std::uint32_t PixelAt(const Supplied& supplied, int height, int x, int y)
{
    const std::uint8_t* at = supplied.pixels + static_cast<std::ptrdiff_t>(height - 1 - y) * supplied.rowBytes + x * 4;
    return at[0] | at[1] << 8 | at[2] << 16;
}

int BlackColumnsOnTheLeft(const Supplied& supplied, int height)
{
    int columns = 0;
    while (columns < supplied.rowBytes / 4 && PixelAt(supplied, height, columns, height / 2) == 0) {
        ++columns;
    }
    return columns;
}

} // namespace discforge::test
