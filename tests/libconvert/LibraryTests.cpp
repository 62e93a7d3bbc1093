// The library as the program sees it: five entry points, format codes, and calls that
// arrive while an encode runs.
#include "ConvertLibrary.h"
#include "SyntheticInput.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

namespace discforge::test {
namespace {

SyntheticSettings PictureSize(int width, int height, int frames)
{
    SyntheticSettings settings;
    settings.width = width;
    settings.height = height;
    settings.frames = frames;
    return settings;
}

TEST(EntryPoints, ExactlyTheFiveTheExtensionChannelAndTheSoundTracksAreExported)
{
    const CommandResult symbols = RunCommand("nm -D --defined-only " + Quoted(ConvertLibrary::Path()));
    ASSERT_EQ(symbols.exitCode, 0) << symbols.output;
    std::set<std::string> exported;
    std::istringstream lines(symbols.output);
    std::string address, kind, name;
    while (lines >> address >> kind >> name) {
        exported.insert(name);
    }
    const std::set<std::string> expected = {"swMPEGInit", "swMPEGMakeMPEG", "swMPEGShutdown", "swMPEGSetFocus",
                                            "swMPEGAppWnd", "swMPEGExtend", "swMPEGSoundTracks"};
    EXPECT_EQ(exported, expected);
    ConvertLibrary library;
    EXPECT_TRUE(library.Loaded()) << library.Error();
}

TEST(FormatCodes, OnlyTheSixDiscFormatsAndTheirWideShapesAreAcceptedAndARefusalChangesNothing)
{
    ConvertLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    // 32 asks for frames shown 16:9, which SVCD and DVD have and VCD has not.
    for (const int code : {1, 3, 4, 17, 19, 20, 35, 36, 51, 52}) {
        EXPECT_EQ(library.init(code), 0) << code;
    }
    ASSERT_EQ(library.init(20), 0);
    for (const int code : {0, 2, 5, 16, 18, 21, 32, 33, 37, 48, 49, 64, 68, -1, 0x101}) {
        EXPECT_NE(library.init(code), 0) << code;
    }
    // DVD PAL is still the choice: a picture of another size comes out 720 x 576.
    TestFolder folder;
    SyntheticInput input(PictureSize(320, 240, 20));
    const EncodeParameters parameters = input.Parameters(folder.File("still-dvd.mpg"));
    ASSERT_EQ(library.makeMpeg(&parameters), ENCODE_COMPLETED);
    std::string error;
    const ProbedFile probed = Probe(folder.File("still-dvd.mpg"), error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_EQ(probed.video.at("width"), "720");
    EXPECT_EQ(probed.video.at("height"), "576");
    EXPECT_EQ(probed.audio.at("codec_name"), "ac3");
}

TEST(CallsDuringAnEncode, InitAppliesToTheNextEncodeAndASecondEncodeIsRefused)
{
    ConvertLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    TestFolder folder;
    ASSERT_EQ(library.init(17), 0); // VCD PAL
    SyntheticInput input(PictureSize(352, 288, 30));
    SyntheticInput nested(PictureSize(352, 288, 5));
    const std::string nestedOutput = folder.File("nested.mpg");
    int nestedResult = 0;
    input.beforePicture = [&](int frame) {
        if (frame == 5) {
            // The program's window stays live during an encode: a format choice or a
            // second start can arrive from inside a callback.
            EXPECT_EQ(library.init(20), 0);
            const EncodeParameters second = nested.Parameters(nestedOutput);
            nestedResult = library.makeMpeg(&second);
            input.Activate();
        }
    };
    const EncodeParameters parameters = input.Parameters(folder.File("first.mpg"));
    EXPECT_EQ(library.makeMpeg(&parameters), ENCODE_COMPLETED);
    EXPECT_EQ(nestedResult, ENCODE_BUSY);
    EXPECT_FALSE(std::filesystem::exists(nestedOutput));

    std::string error;
    const ProbedFile first = Probe(folder.File("first.mpg"), error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_EQ(first.video.at("codec_name"), "mpeg1video");

    SyntheticInput next(PictureSize(720, 576, 10));
    const EncodeParameters nextParameters = next.Parameters(folder.File("next.mpg"));
    ASSERT_EQ(library.makeMpeg(&nextParameters), ENCODE_COMPLETED);
    const ProbedFile second = Probe(folder.File("next.mpg"), error);
    EXPECT_EQ(second.video.at("codec_name"), "mpeg2video");
}

} // namespace
} // namespace discforge::test
