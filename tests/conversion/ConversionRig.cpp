#include "ConversionRig.h"

#include "SampleMedia.h"
#include "app/EncoderCallbacks.h"
#include "app/Startup.h"
#include "mediagen/MediaGen.h"
#include "pattern/FramePattern.h"

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

bool ConversionRig::AddList(const std::string& path) { return core.inputCommands.OpenInput(path); }

bool ConversionRig::AddVideo(const std::string& path) { return core.inputCommands.OpenInput(path); }

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

std::int64_t NumberInPicture(const std::uint8_t* pixels, int rowBytes, int height)
{
    return pattern::ReadFrameNumber(pattern::ConstPatternImage{pixels, rowBytes / 4, height, rowBytes, 4, true});
}

} // namespace discforge::test
