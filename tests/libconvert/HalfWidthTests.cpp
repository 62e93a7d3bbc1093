// A DVD's half-width frame through the extension channel: 352 columns in 4:3 and
// 16:9 with the sequence header's shape, the planned rate kept, for the next encode
// only; other widths and discs without a half-width frame are refused.
#include "ConvertLibrary.h"
#include "SyntheticInput.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace discforge::test {
namespace {

EncodeExtension HalfWidth(int32_t frameWidth, int64_t videoBitRate = 0)
{
    EncodeExtension extension{};
    extension.size = sizeof(EncodeExtension);
    extension.version = ENCODE_EXTENSION_VERSION;
    extension.videoBitRate = videoBitRate;
    extension.frameWidth = frameWidth;
    return extension;
}

// "width height display_aspect_ratio" of the stream's video, as ffprobe reads its sequence header.
std::string VideoFrame(const std::string& path)
{
    const std::string text = RunCommand("ffprobe -v error -select_streams v:0 -of default=nw=1:nk=1 "
                                        "-show_entries stream=width,height,display_aspect_ratio "
        + Quoted(path))
                                 .output;
    std::istringstream lines(text);
    std::string line;
    std::string joined;
    while (std::getline(lines, line)) {
        if (!line.empty()) {
            joined += (joined.empty() ? "" : " ") + line;
        }
    }
    return joined;
}

TEST(HalfWidthFrames, ADvdTakesThreeHundredFiftyTwoColumnsAndNoOtherWidth)
{
    ConvertLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    ASSERT_EQ(library.init(20), 0); // DVD PAL
    for (const int32_t width : {352, 720, 0}) {
        const EncodeExtension taken = HalfWidth(width);
        EXPECT_EQ(library.extend(&taken), 0) << width;
    }
    for (const int32_t width : {353, 704, 480, -352}) {
        const EncodeExtension refused = HalfWidth(width);
        EXPECT_NE(library.extend(&refused), 0) << width;
    }
    // A caller of the second version knows no frame width: its record ends before it.
    EncodeExtension secondVersion = HalfWidth(353);
    secondVersion.size = ENCODE_EXTENSION_V2_SIZE;
    secondVersion.version = 2;
    EXPECT_EQ(library.extend(&secondVersion), 0);
    EncodeExtension between = HalfWidth(352);
    between.size = ENCODE_EXTENSION_V2_SIZE + 4;
    EXPECT_NE(library.extend(&between), 0);

    ASSERT_EQ(library.init(19), 0); // SVCD PAL: no half-width frame
    const EncodeExtension onSvcd = HalfWidth(352);
    EXPECT_NE(library.extend(&onSvcd), 0);
    const EncodeExtension svcdOwn = HalfWidth(480);
    EXPECT_EQ(library.extend(&svcdOwn), 0);
    ASSERT_EQ(library.init(17), 0); // VCD PAL is 352 wide already, with no other frame
    const EncodeExtension vcdOwn = HalfWidth(352);
    EXPECT_EQ(library.extend(&vcdOwn), 0);
}

TEST(HalfWidthFrames, StreamsAreThreeHundredFiftyTwoWideShownAtTheirShapeForTheNextEncodeOnly)
{
    ConvertLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    TestFolder folder;
    struct Case {
        int32_t format;
        int height;
        const char* frame;
    };
    for (const Case c : {Case{20, 576, "352 576 4:3"}, Case{52, 576, "352 576 16:9"}, Case{4, 480, "352 480 4:3"},
             Case{36, 480, "352 480 16:9"}}) {
        ASSERT_EQ(library.init(c.format), 0);
        SyntheticSettings settings;
        settings.width = 352;
        settings.height = c.height;
        settings.framesPerSecondNum = c.height == 576 ? 25 : 30000;
        settings.framesPerSecondDen = c.height == 576 ? 1 : 1001;
        settings.frames = 25;
        settings.sampleRate = 48000;
        SyntheticInput input(settings);
        const EncodeExtension half = HalfWidth(352, 1500000);
        ASSERT_EQ(library.extend(&half), 0) << c.format;
        const std::string output = folder.File("half-" + std::to_string(c.format) + ".mpg");
        const EncodeParameters parameters = input.Parameters(output);
        ASSERT_EQ(library.makeMpeg(&parameters), ENCODE_COMPLETED) << c.format;
        EXPECT_EQ(VideoFrame(output), c.frame) << c.format;

        // Without the extension the next encode is the disc's usual frame again.
        const std::string usual = folder.File("usual-" + std::to_string(c.format) + ".mpg");
        const EncodeParameters again = input.Parameters(usual);
        ASSERT_EQ(library.makeMpeg(&again), ENCODE_COMPLETED) << c.format;
        EXPECT_EQ(VideoFrame(usual).substr(0, 4), "720 ") << c.format;
    }
}

} // namespace
} // namespace discforge::test
