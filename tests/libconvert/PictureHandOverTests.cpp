// The caller's picture is valid only until its next call, while the library converts and
// encodes on its own thread: every picture must reach the stream as it was handed out.
#include "ConvertLibrary.h"
#include "SyntheticInput.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

namespace discforge::test {
namespace {

// The mean luma (Y as coded, 16 to 235) of each decoded picture, in display order.
std::vector<double> PictureMeans(const std::string& mpegPath, const std::string& rawPath, int width, int height)
{
    const CommandResult decoded = RunCommand("ffmpeg -nostdin -v error -y -i " + Quoted(mpegPath) +
                                             " -an -f rawvideo -pix_fmt yuv420p " + Quoted(rawPath));
    EXPECT_EQ(decoded.exitCode, 0) << decoded.output;
    std::ifstream raw(rawPath, std::ios::binary);
    const std::vector<uint8_t> luma{std::istreambuf_iterator<char>(raw), std::istreambuf_iterator<char>()};
    const auto lumaSize = static_cast<std::size_t>(width) * height;
    const std::size_t pictureSize = lumaSize * 3 / 2;
    std::vector<double> means;
    for (std::size_t start = 0; start + pictureSize <= luma.size(); start += pictureSize) {
        double sum = 0;
        for (std::size_t i = start; i < start + lumaSize; ++i) {
            sum += luma[i];
        }
        means.push_back(sum / static_cast<double>(lumaSize));
    }
    return means;
}

TEST(PictureHandOver, EveryPictureIsEncodedAsItWasWhenHandedOut)
{
    ConvertLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    TestFolder folder;
    // The disc's own size (converted directly) and another size (scaled).
    for (const auto& [width, height] : {std::pair{720, 576}, std::pair{320, 240}}) {
        SyntheticSettings settings;
        settings.width = width;
        settings.height = height;
        settings.frames = 40;
        settings.sampleRate = 48000;
        settings.flatPictures = true;
        SyntheticInput input(settings);
        const std::string output = folder.File("flat.mpg");
        ASSERT_EQ(library.init(20), 0);
        const EncodeParameters parameters = input.Parameters(output);
        ASSERT_EQ(library.makeMpeg(&parameters), ENCODE_COMPLETED);
        EXPECT_FALSE(input.callsOnOtherThreads);

        const std::vector<double> means = PictureMeans(output, folder.File("flat.yuv"), 720, 576);
        ASSERT_EQ(means.size(), static_cast<std::size_t>(settings.frames));
        for (int frame = 0; frame < settings.frames; ++frame) {
            const double expected = 16 + 219.0 * SyntheticInput::FlatGrey(frame) / 255;
            EXPECT_NEAR(means[static_cast<std::size_t>(frame)], expected, 2.0) << width << " frame " << frame;
        }
    }
}

} // namespace
} // namespace discforge::test
