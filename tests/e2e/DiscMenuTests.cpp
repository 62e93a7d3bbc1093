// DVD menus made on the command line from clips the ffmpeg program makes: the
// buttons dvdauthor put into the menu's navigation packets (one a title and
// "Play all"), the thumbnails taken a tenth into each title, 4:3 and 16:9 menus
// the authoring tools accept, and names with markup characters and non-ASCII letters.
#include "CliProcess.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>

namespace discforge::test {
namespace {

constexpr std::size_t sector = 2048;

std::vector<std::uint8_t> FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// What one navigation packet's highlight information says.
struct Highlight {
    int buttons = 0;
    int groups = 0;
    std::vector<std::vector<int>> buttonTops; // the first row of each button, a list a group
};

// The highlight information of every navigation packet that has one. A
// navigation pack: pack header, system header, then the PCI packet (private
// stream 2, substream 0), whose button information starts 96 bytes in.
std::vector<Highlight> Highlights(const std::vector<std::uint8_t>& vob)
{
    std::vector<Highlight> found;
    for (std::size_t at = 0; at + sector <= vob.size(); at += sector) {
        const std::uint8_t* pack = vob.data() + at;
        if (pack[0] != 0 || pack[1] != 0 || pack[2] != 1 || pack[3] != 0xBA) {
            continue;
        }
        std::size_t pos = 14 + (pack[13] & 7);
        if (pos + 6 > sector || pack[pos + 3] != 0xBB) {
            continue;
        }
        pos += 6 + (pack[pos + 4] << 8 | pack[pos + 5]);
        if (pos + 7 + 96 + 22 + 24 + 36 * 18 > sector || pack[pos + 3] != 0xBF || pack[pos + 6] != 0) {
            continue;
        }
        const std::uint8_t* pci = pack + pos + 7;
        const std::uint8_t* info = pci + 96;
        if ((info[1] & 3) == 0) {
            continue; // no highlight in this packet
        }
        Highlight highlight;
        highlight.groups = (info[14] >> 4) & 3;
        highlight.buttons = info[17];
        // The 36 button entries are shared out evenly between the groups.
        const std::uint8_t* buttons = info + 22 + 24; // after the general part and the colours
        const int groups = std::max(highlight.groups, 1);
        for (int group = 0; group < groups; ++group) {
            std::vector<int> tops;
            for (int i = 0; i < highlight.buttons && i < 36 / groups; ++i) {
                const std::uint8_t* button = buttons + (group * (36 / groups) + i) * 18;
                tops.push_back((button[3] & 0x3F) << 4 | button[4] >> 4);
            }
            highlight.buttonTops.push_back(tops);
        }
        found.push_back(highlight);
    }
    return found;
}

std::optional<Highlight> FirstHighlight(const std::vector<std::uint8_t>& vob)
{
    const std::vector<Highlight> all = Highlights(vob);
    return all.empty() ? std::nullopt : std::optional<Highlight>(all.front());
}

// The button counts of the menu's pages in the order they are stored.
std::vector<int> PageButtons(const std::vector<std::uint8_t>& vob)
{
    std::vector<int> counts;
    for (const Highlight& highlight : Highlights(vob)) {
        if (counts.empty() || counts.back() != highlight.buttons) {
            counts.push_back(highlight.buttons);
        }
    }
    return counts;
}

std::string CommandOutput(const std::string& command)
{
    std::string output;
    std::FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, count);
    }
    ::pclose(pipe);
    return output;
}

// A two-second clip of one colour whose first three pictures are green, so that
// a thumbnail taken at the start instead of a tenth in shows green.
bool MakeColourClip(const std::string& path, const std::string& colour, bool wide)
{
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i color=c=" + colour
        + ":s=320x240:r=25:d=2 -f lavfi -i anullsrc=r=48000:cl=stereo -t 2"
          " -vf \"drawbox=x=0:y=0:w=iw:h=ih:color=0x00ff00:t=fill:enable='lt(t,0.12)'\""
        + (wide ? " -aspect 16:9" : "") + " -c:v mpeg4 -q:v 3 -c:a pcm_s16le '" + path + "'";
    return std::system(command.c_str()) == 0;
}

struct Pixels {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// How many pixels of the menu's first picture are plainly red, green or blue.
Pixels MenuColours(const std::string& vob, const std::string& folder)
{
    const std::string raw = folder + "/menu.rgb";
    const std::string command
        = "ffmpeg -nostdin -v error -y -i '" + vob + "' -frames:v 1 -f rawvideo -pix_fmt rgb24 '" + raw + "'";
    Pixels pixels;
    if (std::system(command.c_str()) != 0) {
        return pixels;
    }
    const std::vector<std::uint8_t> bytes = FileBytes(raw);
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3) {
        const int r = bytes[i];
        const int g = bytes[i + 1];
        const int b = bytes[i + 2];
        pixels.red += r > 180 && g < 70 && b < 70 ? 1 : 0;
        pixels.green += g > 180 && r < 70 && b < 70 ? 1 : 0;
        pixels.blue += b > 180 && r < 70 && g < 70 ? 1 : 0;
    }
    return pixels;
}

class DiscMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!DvdToolsInstalled()) {
            GTEST_SKIP() << dvdToolsMissing;
        }
    }
    std::string File(const std::string& name) const { return folder_.File(name); }

    TestFolder folder_;
};

TEST_F(DiscMenu, AFourByThreeMenuHasAButtonPerTitleAndPlayAllWithThumbnailsATenthIn)
{
    ASSERT_TRUE(MakeColourClip(File("first.avi"), "red", false));
    ASSERT_TRUE(MakeColourClip(File("second.avi"), "blue", false));
    ASSERT_TRUE(MakeColourClip(File("third.avi"), "red", false));
    const CliOutcome made = RunCli({"--target", "dvd", "--standard", "pal", "--author", "disc", "--title",
                                       "Tom & Jerry <1> \"quoted\" 'Grüße' ☃", "first.avi", "second.avi", "third.avi"},
        folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;

    const std::optional<Highlight> highlight = FirstHighlight(FileBytes(File("disc/VIDEO_TS/VIDEO_TS.VOB")));
    ASSERT_TRUE(highlight.has_value()) << "the menu has no buttons";
    EXPECT_EQ(highlight->buttons, 4) << "three titles and Play all";
    EXPECT_EQ(highlight->groups, 1);

    const std::string listing = CommandOutput("lsdvd '" + File("disc") + "'");
    EXPECT_EQ(std::regex_search(listing, std::regex("Title: 03")), true) << listing;

    const Pixels colours = MenuColours(File("disc/VIDEO_TS/VIDEO_TS.VOB"), folder_.Path());
    EXPECT_GT(colours.red, 2 * 5000) << "two red thumbnails";
    EXPECT_GT(colours.blue, 5000) << "a blue one";
    EXPECT_LT(colours.green, 500) << "a thumbnail shows the title's first pictures";
}

TEST_F(DiscMenu, ASixteenByNineMenuHasWidescreenAndLetterboxButtons)
{
    ASSERT_TRUE(MakeColourClip(File("first.avi"), "red", true));
    ASSERT_TRUE(MakeColourClip(File("second.avi"), "blue", true));
    const CliOutcome made = RunCli(
        {"--target", "dvd", "--standard", "ntsc", "--author", "disc", "first.avi", "second.avi"}, folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;

    // The manager's menu picture attributes: the display aspect in bits 3-2 of byte 0x100, 3 for 16:9.
    const std::vector<std::uint8_t> manager = FileBytes(File("disc/VIDEO_TS/VIDEO_TS.IFO"));
    ASSERT_GT(manager.size(), 0x101u);
    EXPECT_EQ((manager[0x100] >> 2) & 3, 3) << "the menu is not 16:9";

    const std::optional<Highlight> highlight = FirstHighlight(FileBytes(File("disc/VIDEO_TS/VIDEO_TS.VOB")));
    ASSERT_TRUE(highlight.has_value()) << "the menu has no buttons";
    EXPECT_EQ(highlight->buttons, 3) << "two titles and Play all";
    ASSERT_EQ(highlight->groups, 2) << "widescreen and letterbox";
    ASSERT_EQ(highlight->buttonTops.size(), 2u);
    // On a 4:3 TV the picture is squeezed to three quarters below a bar of an
    // eighth; the letterboxed group's buttons start lower down the top half.
    const bool firstIsWide = highlight->buttonTops[0].front() < highlight->buttonTops[1].front();
    const std::vector<int>& wide = highlight->buttonTops[firstIsWide ? 0 : 1];
    const std::vector<int>& letterbox = highlight->buttonTops[firstIsWide ? 1 : 0];
    ASSERT_EQ(wide.size(), 3u);
    ASSERT_EQ(letterbox.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(letterbox[i], 480 / 8 + wide[i] * 3 / 4, 3) << "button " << i;
    }
}

TEST_F(DiscMenu, SevenTitlesOfTwoShapesTakeTwoPages)
{
    std::vector<std::string> arguments{"--target", "dvd", "--standard", "pal", "--author", "disc"};
    for (int i = 0; i < 7; ++i) {
        const std::string name = "clip" + std::to_string(i) + ".avi";
        ASSERT_TRUE(MakeColourClip(File(name), i % 2 == 0 ? "red" : "blue", i == 6));
        arguments.push_back(name);
    }
    const CliOutcome made = RunCli(arguments, folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    // Six titles, Play all and Next; then the seventh, Previous and Play all.
    EXPECT_EQ(PageButtons(FileBytes(File("disc/VIDEO_TS/VIDEO_TS.VOB"))), (std::vector<int>{8, 3}));
    const std::string listing = CommandOutput("lsdvd '" + File("disc") + "'");
    EXPECT_TRUE(std::regex_search(listing, std::regex("Title: 07"))) << listing;
    EXPECT_TRUE(std::filesystem::exists(File("disc/VIDEO_TS/VTS_02_0.IFO"))) << "the 16:9 title has its own set";
}

TEST_F(DiscMenu, NoMenuOrOneTitleLeaveTheDiscWithoutButtons)
{
    ASSERT_TRUE(MakeColourClip(File("first.avi"), "red", false));
    ASSERT_TRUE(MakeColourClip(File("second.avi"), "blue", false));
    const CliOutcome off
        = RunCli({"--target", "dvd", "--standard", "pal", "--author", "off", "--no-menu", "first.avi", "second.avi"},
            folder_.Path());
    ASSERT_EQ(off.exitCode, 0) << off.err;
    EXPECT_FALSE(FirstHighlight(FileBytes(File("off/VIDEO_TS/VIDEO_TS.VOB"))).has_value());
    const CliOutcome one
        = RunCli({"--target", "dvd", "--standard", "pal", "--author", "one", "first.avi"}, folder_.Path());
    ASSERT_EQ(one.exitCode, 0) << one.err;
    EXPECT_FALSE(FirstHighlight(FileBytes(File("one/VIDEO_TS/VIDEO_TS.VOB"))).has_value());

    const CliOutcome tooMany
        = RunCli({"--target", "dvd", "--author", "x", "--title", "a", "--title", "b", "first.avi"}, folder_.Path());
    EXPECT_EQ(tooMany.exitCode, 2);
    EXPECT_NE(tooMany.err.find("more --title names than INPUTs"), std::string::npos) << tooMany.err;
}

} // namespace
} // namespace discforge::test
