// Encodes that must not complete: each returns a result other than 31, leaves nothing
// under the final name (or the earlier file there as it was) and no temporary file.
#include "ConvertLibrary.h"
#include "SyntheticInput.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace discforge::test {
namespace {

constexpr int dvdPal = 20;
constexpr const char* earlierContent = "an earlier encode";

SyntheticSettings DvdPalInput(int frames = 50)
{
    SyntheticSettings settings;
    settings.width = 720;
    settings.height = 576;
    settings.frames = frames;
    settings.sampleRate = 48000;
    return settings;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::size_t FilesIn(const std::string& folder)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

class FailedEncode : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library.Loaded()) << library.Error();
        ASSERT_EQ(library.init(dvdPal), 0);
        std::ofstream(output) << earlierContent;
    }

    // The encode failed and left the folder as it found it.
    void ExpectNothingChanged(int result)
    {
        EXPECT_NE(result, ENCODE_COMPLETED);
        EXPECT_EQ(ReadAll(output), earlierContent);
        EXPECT_EQ(FilesIn(folder.Path()), 1u);
    }

    ConvertLibrary library;
    TestFolder folder;
    std::string output = folder.File("movie.mpg");
};

TEST_F(FailedEncode, PictureCallbackFailureStopsTheEncodeAndTellsTheUser)
{
    SyntheticSettings settings = DvdPalInput();
    settings.failPictureAt = 10;
    SyntheticInput input(settings);
    const EncodeParameters parameters = input.Parameters(output);
    testing::internal::CaptureStderr();
    const int result = library.makeMpeg(&parameters);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, ENCODE_CALLBACK_FAILED);
    ExpectNothingChanged(result);
    // No picture after the failing one was asked for.
    EXPECT_EQ(input.picturesAsked.back(), 10);
    EXPECT_NE(told.find(output), std::string::npos) << told;
    EXPECT_NE(told.find("frame 10"), std::string::npos) << told;
}

TEST_F(FailedEncode, RowLengthOtherThanFourTimesTheWidthIsRefused)
{
    SyntheticSettings settings = DvdPalInput();
    settings.rowBytesDelta = 4;
    SyntheticInput input(settings);
    const EncodeParameters parameters = input.Parameters(output);
    const int result = library.makeMpeg(&parameters);
    ExpectNothingChanged(result);
    EXPECT_EQ(input.picturesAsked.size(), 1u);
}

TEST_F(FailedEncode, SoundCallbackFailureStopsTheEncode)
{
    SyntheticSettings settings = DvdPalInput();
    settings.failSoundAt = 20;
    SyntheticInput input(settings);
    const EncodeParameters parameters = input.Parameters(output);
    ExpectNothingChanged(library.makeMpeg(&parameters));
    EXPECT_EQ(input.soundPositions.size(), 21u);
}

TEST_F(FailedEncode, SoundInBrokenSampleFramesIsRefused)
{
    SyntheticSettings settings = DvdPalInput();
    settings.brokenSoundAt = 7;
    SyntheticInput input(settings);
    const EncodeParameters parameters = input.Parameters(output);
    EXPECT_EQ(library.makeMpeg(&parameters), ENCODE_CALLBACK_FAILED);
    ExpectNothingChanged(ENCODE_CALLBACK_FAILED);
    EXPECT_EQ(input.soundPositions.size(), 8u);
}

TEST_F(FailedEncode, DiskFullDuringTheEncodeKeepsTheEarlierFile)
{
    SyntheticInput input(DvdPalInput());
    const EncodeParameters parameters = input.Parameters(output);
    // A file size limit makes writes fail part way, as a full disk does.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 256 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const int result = library.makeMpeg(&parameters);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(result, ENCODE_OUTPUT_FAILED);
    ExpectNothingChanged(result);
    EXPECT_LT(input.picturesAsked.size(), 50u);
}

TEST_F(FailedEncode, ShutdownDuringTheEncodeCancelsItAndALaterInitWorksAgain)
{
    SyntheticInput input(DvdPalInput());
    input.beforePicture = [this](int frame) {
        if (frame == 12) {
            library.shutdown();
        }
    };
    const EncodeParameters parameters = input.Parameters(output);
    const int result = library.makeMpeg(&parameters);
    EXPECT_EQ(result, ENCODE_CANCELLED);
    ExpectNothingChanged(result);
    EXPECT_LE(input.picturesAsked.size(), 14u);

    // After the shutdown nothing is chosen until the next init.
    SyntheticInput again(DvdPalInput(10));
    const EncodeParameters second = again.Parameters(output);
    EXPECT_EQ(library.makeMpeg(&second), ENCODE_NOT_INITIALISED);
    ASSERT_EQ(library.init(dvdPal), 0);
    EXPECT_EQ(library.makeMpeg(&second), ENCODE_COMPLETED);
    EXPECT_NE(ReadAll(output), earlierContent);
}

TEST(UnwritableOutput, FailsBeforeAnyPictureIsAsked)
{
    ConvertLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    ASSERT_EQ(library.init(dvdPal), 0);
    TestFolder folder;
    std::ofstream(folder.File("plain")) << "a file, not a folder";
    std::vector<std::string> outputs = {folder.File("missing/movie.mpg"), folder.File("plain/movie.mpg")};
    // Permissions hold back every user but the superuser.
    if (::geteuid() != 0) {
        std::filesystem::create_directory(folder.File("locked"));
        std::filesystem::permissions(folder.File("locked"), std::filesystem::perms::owner_read |
                                                                std::filesystem::perms::owner_exec);
        outputs.push_back(folder.File("locked/movie.mpg"));
    }
    for (const std::string& output : outputs) {
        SyntheticInput input(DvdPalInput(10));
        const EncodeParameters parameters = input.Parameters(output);
        EXPECT_EQ(library.makeMpeg(&parameters), ENCODE_OUTPUT_FAILED) << output;
        EXPECT_TRUE(input.picturesAsked.empty()) << output;
        EXPECT_FALSE(std::filesystem::exists(output)) << output;
    }
}

TEST(EncodeRecord, RefusesWhatItCannotEncodeWithoutAskingForAnything)
{
    ConvertLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    TestFolder folder;
    SyntheticInput input(DvdPalInput(10));
    const EncodeParameters good = input.Parameters(folder.File("movie.mpg"));

    EXPECT_EQ(library.makeMpeg(&good), ENCODE_NOT_INITIALISED);
    ASSERT_EQ(library.init(dvdPal), 0);
    EXPECT_EQ(library.makeMpeg(nullptr), ENCODE_BAD_PARAMETERS);

    std::vector<EncodeParameters> bad(6, good);
    bad[0].bitsPerSample = 8;
    bad[1].lastFrame = -1;
    bad[2].supplyVideoFrame = nullptr;
    bad[3].outputName = "";
    bad[4].width = 0;
    bad[5].sampleRate = 0;
    for (const EncodeParameters& parameters : bad) {
        EXPECT_EQ(library.makeMpeg(&parameters), ENCODE_BAD_PARAMETERS);
    }
    EXPECT_TRUE(input.picturesAsked.empty());
    EXPECT_TRUE(input.soundPositions.empty());
    EXPECT_EQ(FilesIn(folder.Path()), 0u);
}

} // namespace
} // namespace discforge::test
