#include "ReaderTestSupport.h"

#include "support/LogLines.h"

#include <sstream>

namespace discforge::test {

ReaderRig::ReaderRig() { settings.batchMode = true; }

bool ReaderRig::AddVideo(const std::string& path)
{
    if (!table.OpenVideoInput(path)) {
        return false;
    }
    ++inputs.inputCount;
    return true;
}

std::vector<std::string> ReaderRig::LogLines() const { return SplitLogLines(runLog.Text()); }

MmStream& ReaderRig::VideoOf(int index)
{
    return static_cast<MmSampleStream&>(*Entry(index).streams->videoStream).Stream();
}

std::int64_t ReaderRig::ShownNumber(int index)
{
    MmSurfaceLock lock;
    SampleStream& video = *Entry(index).streams->videoStream;
    if (!video.LockSurface(lock)) {
        return -2;
    }
    std::int64_t number = NumberInSurface(lock.pixels, lock.pitch, lock.width, lock.height);
    video.UnlockSurface();
    return number;
}

mediagen::AviRecipe SmallRecipe(
    mediagen::VideoCodec codec, mediagen::AudioForm audio, mediagen::FrameRate rate, std::int64_t frames)
{
    mediagen::AviRecipe recipe;
    recipe.video = codec;
    recipe.audio = audio;
    recipe.rate = rate;
    recipe.width = 176;
    recipe.height = 144;
    recipe.frames = frames;
    return recipe;
}

} // namespace discforge::test
