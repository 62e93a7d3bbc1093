#include "platform/AviFile.h"

#include "SampleMedia.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace discforge::test {
namespace {

std::string Tool() { return DISCFORGE_MEDIAGEN_PROGRAM; }

std::string RunTool(const std::string& arguments, int& status)
{
    std::string output;
    FILE* pipe = popen((Tool() + " " + arguments + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return output;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    status = pclose(pipe);
    return output;
}

TEST(MediaGenTool, HelpNamesEveryOption)
{
    int status = 0;
    const std::string help = RunTool("--help", status);
    EXPECT_EQ(status, 0);
    for (const char* option : {"--video", "--audio", "--fps", "--size", "--seconds", "--frames", "--gop", "--fourcc",
             "--pictures", "--full-paths", "mp3", "u8-11025", "29.97"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    RunTool("avi " + SampleFolder() + "/x.avi --fps 24", status);
    EXPECT_NE(status, 0) << "an unsupported rate is refused";
}

TEST(MediaGenTool, WritesEachFrameRateAsItsOwnFraction)
{
    struct Case {
        const char* option;
        std::uint32_t rate;
        std::uint32_t scale;
    };
    for (const Case& c :
        {Case{"25", 25, 1}, Case{"29.97", 30000, 1001}, Case{"2997/100", 2997, 100}, Case{"23.976", 24000, 1001}}) {
        const std::string path = SampleFolder() + "/rate.avi";
        int status = 0;
        const std::string output
            = RunTool("avi " + path + " --video mjpeg --audio none --size 64x48 --frames 3 --fps " + c.option, status);
        ASSERT_EQ(status, 0) << output;
        MediaError error;
        auto file = AviFile::Open(path, error);
        ASSERT_TRUE(file) << error.text;
        EXPECT_EQ(file->Info().rate, c.rate) << c.option;
        EXPECT_EQ(file->Info().scale, c.scale) << c.option;
        EXPECT_EQ(file->Info().length, 3u) << c.option;
    }
}

TEST(MediaGenTool, WritesTheAviItIsAskedFor)
{
    const std::string path = SampleFolder() + "/tool.avi";
    int status = 0;
    const std::string output = RunTool(
        "avi " + path + " --video mpeg4 --audio u8-22050 --fps 29.97 --size 176x144 --frames 31 --gop 5 --fourcc XVID",
        status);
    ASSERT_EQ(status, 0) << output;
    MediaError error;
    auto file = AviFile::Open(path, error);
    ASSERT_TRUE(file) << error.text;
    EXPECT_EQ(file->Info().width, 176u);
    EXPECT_EQ(file->Info().length, 31u);
    EXPECT_EQ(file->Info().rate, 30000u);
    auto video = file->GetStream(aviStreamTypeVideo, 0);
    ASSERT_TRUE(video);
    EXPECT_EQ(video->Info().handler, MakeFourCC('X', 'V', 'I', 'D'));
    auto decompressor = video->OpenDecompressor(error);
    ASSERT_TRUE(decompressor);
    EXPECT_EQ(NumberInBitmap(decompressor->GetFrame(30)), 30);
    EXPECT_EQ(video->FindNextKeyFrame(1), 5);
    EXPECT_EQ(file->GetStream(aviStreamTypeAudio, 0)->Info().rate, 22050u);
}

TEST(MediaGenTool, WritesPictureListsWithBareNamesOrFullPaths)
{
    for (bool fullPaths : {false, true}) {
        const std::string folder = SampleFolder() + (fullPaths ? "/full" : "/bare");
        std::string make = "mkdir -p " + folder;
        ASSERT_EQ(std::system(make.c_str()), 0);
        int status = 0;
        RunTool(
            "list " + folder + "/pictures.lst --pictures 3 --size 64x48" + (fullPaths ? " --full-paths" : ""), status);
        ASSERT_EQ(status, 0);
        std::ifstream list(folder + "/pictures.lst");
        std::string line;
        int lines = 0;
        while (std::getline(list, line)) {
            const std::string expected = "picture0000" + std::to_string(lines) + ".bmp";
            EXPECT_EQ(line, fullPaths ? folder + "/" + expected : expected);
            std::ifstream picture(folder + "/" + expected, std::ios::binary);
            char magic[2] = {};
            picture.read(magic, 2);
            EXPECT_EQ(std::string(magic, 2), "BM");
            ++lines;
        }
        EXPECT_EQ(lines, 3);
    }
}

} // namespace
} // namespace discforge::test
