#include "ShownSubpictures.h"

#include "support/StreamChecks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>

namespace discforge::test {

std::string ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::string> ListedSubtitles(const std::string& disc, int title)
{
    const CommandResult listed = RunCommand("lsdvd -t " + std::to_string(title) + " -s " + Quoted(disc));
    EXPECT_EQ(listed.exitCode, 0) << listed.output;
    std::vector<std::string> languages;
    const std::regex line(R"(Subtitle: \d+, Language: (\S+))");
    for (auto it = std::sregex_iterator(listed.output.begin(), listed.output.end(), line); it != std::sregex_iterator();
         ++it) {
        languages.push_back((*it)[1]);
    }
    return languages;
}

ShownText TextAt(const TestFolder& folder, const std::string& vob, double seconds, int stream)
{
    const std::string at = std::to_string(seconds);
    const std::string over = folder.File("over.gray");
    const std::string plain = folder.File("plain.gray");
    // A program stream carries each subpicture near its time and the pictures half a
    // second ahead of theirs, and ffmpeg's overlay pairs a picture with the subpicture
    // it has read so far: a copy interleaved by time shows each cue on its own pictures.
    const std::string interleaved = folder.File("interleaved.mkv");
    const CommandResult copied = RunCommand("ffmpeg -v error -nostdin -y -fflags +genpts -i " + Quoted(vob)
        + " -map 0:v -map 0:i:" + std::to_string(0x20 + stream) + " -c copy " + Quoted(interleaved));
    EXPECT_EQ(copied.exitCode, 0) << copied.output;
    const CommandResult overlaid = RunCommand("ffmpeg -v error -nostdin -y -i " + Quoted(interleaved)
        + " -filter_complex \"[0:v][0:s:0]overlay[o]\" -map \"[o]\" -ss " + at
        + " -frames:v 1 -f rawvideo -pix_fmt gray " + Quoted(over));
    EXPECT_EQ(overlaid.exitCode, 0) << overlaid.output;
    const CommandResult alone = RunCommand("ffmpeg -v error -nostdin -y -i " + Quoted(interleaved) + " -map 0:v -ss "
        + at + " -frames:v 1 -f rawvideo -pix_fmt gray " + Quoted(plain));
    EXPECT_EQ(alone.exitCode, 0) << alone.output;
    const std::string a = ReadBytes(over);
    const std::string b = ReadBytes(plain);
    ShownText shown;
    if (a.size() != b.size() || a.size() != static_cast<std::size_t>(palWidth * palHeight)) {
        ADD_FAILURE() << "pictures of " << a.size() << " and " << b.size() << " bytes";
        return shown;
    }
    for (int y = 0; y < palHeight; ++y) {
        for (int x = 0; x < palWidth; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * palWidth + x);
            if (std::abs(static_cast<int>(static_cast<unsigned char>(a[i])) - static_cast<unsigned char>(b[i])) > 24) {
                ++shown.pixels;
                shown.top = std::min(shown.top, y);
                shown.bottom = std::max(shown.bottom, y);
                shown.left = std::min(shown.left, x);
                shown.right = std::max(shown.right, x);
            }
        }
    }
    return shown;
}

} // namespace discforge::test
