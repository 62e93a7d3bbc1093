#include "SoundClips.h"

#include "SampleInputs.h"
#include "support/StreamChecks.h"

#include <gtest/gtest.h>

namespace discforge::test {

const char* SoundStartName(SoundStart start)
{
    switch (start) {
    case SoundStart::OnTime:
        return "OnTime";
    case SoundStart::Late:
        return "Late";
    case SoundStart::Early:
        return "Early";
    case SoundStart::Gapped:
        return "Gapped";
    }
    return "";
}

std::string MakeSoundClip(const std::string& folder, const SoundContainer& container, SoundStart start,
    mediagen::FrameRate rate, int seconds, int width, int height)
{
    mediagen::AviRecipe recipe;
    recipe.video = mediagen::VideoCodec::RawRgb;
    recipe.audio = mediagen::AudioForm::Stereo16At44100;
    recipe.rate = rate;
    recipe.width = width;
    recipe.height = height;
    recipe.frames = FramesIn(seconds, rate);
    const std::string source = Quoted(folder + "/generated.avi");
    if (!MakeAvi(folder + "/generated.avi", recipe)) {
        return {};
    }
    const std::string offset = std::to_string(soundOffset);
    std::string inputs;
    switch (start) {
    case SoundStart::OnTime:
        inputs = "-i " + source + " -i " + source;
        break;
    case SoundStart::Gapped:
        inputs = "-i " + source + " -i " + source + " -af \"aselect='not(between(t,1.2,1.7))'\"";
        break;
    case SoundStart::Late:
        inputs = "-i " + source + " -ss " + offset + " -itsoffset " + offset + " -i " + source;
        break;
    case SoundStart::Early:
        inputs = "-ss " + offset + " -i " + source + " -itsoffset -" + offset + " -i " + source;
        break;
    }
    const std::string path = folder + "/" + container.name + SoundStartName(start) + "." + container.extension;
    const CommandResult made = RunCommand(
        "ffmpeg -v error -nostdin -y " + inputs + " -map 0:v -map 1:a " + container.codecs + " " + Quoted(path));
    EXPECT_EQ(made.exitCode, 0) << container.name << ": " << made.output;
    return made.exitCode == 0 ? path : std::string{};
}

} // namespace discforge::test
