#include "CliOptions.h"

#include <gtest/gtest.h>

#include <optional>

namespace discforge::cli {
namespace {

ParseResult Parse(std::vector<std::string> arguments) { return ParseCommandLine(arguments); }

TEST(CliOptionsTest, DefaultsAreVcdWithTheStandardAndThePictureOptionsLeftToTheInput)
{
    const ParseResult result = Parse({"clip.avi"});
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.options.outputFormat, 1);
    EXPECT_FALSE(result.options.tvStandard.has_value());
    EXPECT_FALSE(result.options.fit.has_value());
    EXPECT_FALSE(result.options.project.has_value());
    EXPECT_FALSE(result.options.saveProject.has_value());
    EXPECT_EQ(result.options.splitMB, 0);
    EXPECT_FALSE(result.options.crop.has_value());
    EXPECT_EQ(result.options.inputs, std::vector<std::string>{"clip.avi"});
}

TEST(CliOptionsTest, DecoderOptionsAreTakenInOrderAndSplitAtTheLastColonBeforeTheValue)
{
    const ParseResult result = Parse({"--decoder-option", "MPEG-4 Part 2 Video decoder:lowres=1", "--decoder-option",
        "Odd: name source:probe=a:b=c", "--decoder-option", "Picture converter:sws_flags=", "clip.avi"});
    ASSERT_EQ(result.error, "");
    const std::vector<DecoderOption>& options = result.options.decoderOptions;
    ASSERT_EQ(options.size(), 3u);
    EXPECT_EQ(options[0].component, "MPEG-4 Part 2 Video decoder");
    EXPECT_EQ(options[0].name, "lowres");
    EXPECT_EQ(options[0].value, "1");
    EXPECT_EQ(options[1].component, "Odd: name source");
    EXPECT_EQ(options[1].name, "probe");
    EXPECT_EQ(options[1].value, "a:b=c");
    EXPECT_EQ(options[2].name, "sws_flags");
    EXPECT_EQ(options[2].value, "");

    for (const char* malformed : {"lowres=1", "decoder:=1", ":lowres=1", "decoder:lowres"}) {
        const ParseResult refused = Parse({"--decoder-option", malformed, "clip.avi"});
        EXPECT_EQ(
            refused.error, std::string("bad value '") + malformed + "' for --decoder-option (COMPONENT:NAME=VALUE)");
    }
}

TEST(CliOptionsTest, EveryOptionIsTaken)
{
    const ParseResult result
        = Parse({"--target", "svcd", "--standard", "pal", "--fit", "crop", "--invert", "--deinterlace", "--crop",
            "8,16,320,200", "--split", "650", "--output", "out.mpg", "--shutdown-when-done", "--", "-odd name.avi"});
    ASSERT_EQ(result.error, "");
    const CliOptions& o = result.options;
    EXPECT_EQ(o.outputFormat, 3);
    EXPECT_EQ(o.tvStandard, 1);
    EXPECT_EQ(o.fit, Fit::Crop);
    EXPECT_TRUE(o.invert);
    EXPECT_TRUE(o.deinterlace);
    ASSERT_TRUE(o.crop.has_value());
    EXPECT_EQ(o.crop->x, 8);
    EXPECT_EQ(o.crop->y, 16);
    EXPECT_EQ(o.crop->width, 320);
    EXPECT_EQ(o.crop->height, 200);
    EXPECT_EQ(o.splitMB, 650);
    EXPECT_EQ(o.output, "out.mpg");
    EXPECT_TRUE(o.shutdownWhenDone);
    EXPECT_EQ(o.inputs, std::vector<std::string>{"-odd name.avi"});
}

TEST(CliOptionsTest, TheShapeIsOneOfThreeAndLeftToTheProjectWhenNotGiven)
{
    EXPECT_FALSE(Parse({"clip.avi"}).options.shape.has_value());
    EXPECT_EQ(Parse({"--aspect", "auto", "clip.avi"}).options.shape, ShapeChoice::automatic);
    EXPECT_EQ(Parse({"--aspect", "4:3", "clip.avi"}).options.shape, ShapeChoice::fourByThree);
    EXPECT_EQ(Parse({"--aspect", "16:9", "clip.avi"}).options.shape, ShapeChoice::sixteenByNine);
    EXPECT_EQ(Parse({"--aspect", "16/9", "clip.avi"}).error, "bad value '16/9' for --aspect");
    EXPECT_EQ(Parse({"clip.avi", "--aspect"}).error, "--aspect needs a value");
}

TEST(CliOptionsTest, TheDiscSizeIsAStandardDiscOrWholeMegabytes)
{
    EXPECT_FALSE(Parse({"clip.avi"}).options.discSize.has_value());
    EXPECT_EQ(Parse({"--disc-size", "dvd5", "clip.avi"}).options.discSize, (DiscSize{DiscSizeKind::dvd5, 0}));
    EXPECT_EQ(Parse({"--disc-size", "cd80", "clip.avi"}).options.discSize, (DiscSize{DiscSizeKind::cd80, 0}));
    EXPECT_EQ(Parse({"--disc-size", "25", "clip.avi"}).options.discSize, (DiscSize{DiscSizeKind::megabytes, 25}));
    EXPECT_EQ(Parse({"--disc-size", "0", "clip.avi"}).error,
        "bad value '0' for --disc-size (dvd5, dvd9, cd74, cd80 or 1 to 1000000 MB)");
    EXPECT_EQ(Parse({"--disc-size", "4.7GB", "clip.avi"}).error,
        "bad value '4.7GB' for --disc-size (dvd5, dvd9, cd74, cd80 or 1 to 1000000 MB)");
}

TEST(CliOptionsTest, BadOptionsAndValuesGiveAOneLineReason)
{
    const struct {
        std::vector<std::string> arguments;
        const char* error;
    } cases[] = {
        {{"--frobnicate", "a.avi"}, "unknown option --frobnicate"},
        {{"--target", "bluray", "a.avi"}, "bad value 'bluray' for --target"},
        {{"--standard", "secam", "a.avi"}, "bad value 'secam' for --standard"},
        {{"--fit", "zoom", "a.avi"}, "bad value 'zoom' for --fit"},
        {{"--crop", "1,2,3", "a.avi"}, "bad value '1,2,3' for --crop"},
        {{"--crop", "1,2,3,4,5", "a.avi"}, "bad value '1,2,3,4,5' for --crop"},
        {{"--crop", "1,-2,3,4", "a.avi"}, "bad value '1,-2,3,4' for --crop"},
        {{"--split", "0", "a.avi"}, "bad value '0' for --split (1 to 4096 megabytes)"},
        {{"--split", "4097", "a.avi"}, "bad value '4097' for --split (1 to 4096 megabytes)"},
        {{"--split", "12MB", "a.avi"}, "bad value '12MB' for --split (1 to 4096 megabytes)"},
        {{"a.avi", "--output"}, "--output needs a value"},
        {{}, "no input given"},
        {{"--output", "x.mpg", "a.avi", "b.avi"}, "--output is only allowed with one input"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parse(c.arguments).error, c.error);
    }
    EXPECT_EQ(Parse({"--split", "4096", "a.avi"}).options.splitMB, 4096);
    EXPECT_EQ(Parse({"--split", "1", "a.avi"}).error, "");
}

TEST(CliOptionsTest, DiscAuthoringOptionsGoTogetherWithTheirTarget)
{
    const ParseResult dvd = Parse({"--target", "dvd", "--author", "disc", "--iso", "disc.iso", "--chapters", "10",
        "--remove-streams", "a.avi", "b.avi"});
    ASSERT_EQ(dvd.error, "");
    EXPECT_EQ(dvd.options.authorFolder, "disc");
    EXPECT_EQ(dvd.options.isoImage, "disc.iso");
    EXPECT_EQ(dvd.options.chapterMinutes, 10);
    EXPECT_TRUE(dvd.options.removeStreams);
    EXPECT_EQ(Parse({"--author", "disc", "a.avi"}).options.chapterMinutes, 5);
    const ParseResult split = Parse({"--author", "disc", "--split", "600", "a.avi"});
    EXPECT_EQ(split.error, "") << "the parts of a split output go on the disc";
    EXPECT_EQ(split.options.splitMB, 600);

    const struct {
        std::vector<std::string> arguments;
        std::string error;
    } cases[] = {
        {{"--iso", "disc.iso", "--target", "dvd", "a.avi"}, "--iso and --remove-streams go with --author"},
        {{"--remove-streams", "a.avi"}, "--iso and --remove-streams go with --author"},
        {{"--author", "disc", "--iso", "disc.iso", "a.avi"}, "--iso is for DVDs only"},
        {{"--author", "disc", "--save-project", "p.mdp", "a.avi"}, "--save-project converts nothing to put on a disc"},
        {{"--author", "disc", "--chapters", "0", "a.avi"}, "bad value '0' for --chapters (1 to 999 minutes)"},
        {{"--author", "disc", "--chapters", "1000", "a.avi"}, "bad value '1000' for --chapters (1 to 999 minutes)"},
        {{"--author"}, "--author needs a value"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parse(c.arguments).error, c.error);
    }
}

TEST(CliOptionsTest, TheMenuIsLeftToTheProjectUnlessSwitchedAndTitlesAreNamedInOrder)
{
    EXPECT_FALSE(Parse({"a.avi"}).options.menu.has_value());
    const ParseResult off = Parse({"--menu", "--no-menu", "a.avi"});
    ASSERT_EQ(off.error, "");
    EXPECT_EQ(off.options.menu, std::optional<bool>(false)) << "the last one given counts";
    EXPECT_EQ(Parse({"--no-menu", "--menu", "a.avi"}).options.menu, std::optional<bool>(true));

    const ParseResult named = Parse(
        {"--title", "Summer & \"Sun\"", "a.avi", "--title", "", "b.avi", "--menu-background", "beach.jpg", "c.avi"});
    ASSERT_EQ(named.error, "");
    EXPECT_EQ(named.options.titles, (std::vector<std::string>{"Summer & \"Sun\"", ""}));
    EXPECT_EQ(named.options.menuBackground, std::optional<std::string>("beach.jpg"));
    EXPECT_EQ(named.options.inputs.size(), 3u);

    EXPECT_EQ(Parse({"--title", "a", "--title", "b", "a.avi"}).error, "more --title names than INPUTs");
    EXPECT_EQ(Parse({"a.avi", "--title"}).error, "--title needs a value");
    EXPECT_EQ(Parse({"--project", "p.mdp", "--title", "a", "--title", "b"}).error, "")
        << "a project's inputs are counted once it is open";
}

TEST(CliOptionsTest, HelpAndVersionNeedNoInput)
{
    EXPECT_EQ(Parse({"--help"}).error, "");
    EXPECT_TRUE(Parse({"--help"}).options.help);
    EXPECT_TRUE(Parse({"-h"}).options.help);
    EXPECT_TRUE(Parse({"--version"}).options.version);
}

TEST(CliOptionsTest, AProjectBringsItsOwnInputsAndIsEitherConvertedOrWritten)
{
    const ParseResult converted = Parse({"--project", "holiday.mdp", "--fit", "fill", "--target", "dvd"});
    ASSERT_EQ(converted.error, "");
    EXPECT_EQ(converted.options.project, "holiday.mdp");
    EXPECT_EQ(converted.options.fit, Fit::Fill);
    EXPECT_TRUE(converted.options.inputs.empty());

    const ParseResult saved = Parse({"--save-project", "new.mdp", "--invert", "a.avi", "b.lst"});
    ASSERT_EQ(saved.error, "");
    EXPECT_EQ(saved.options.saveProject, "new.mdp");
    EXPECT_EQ(saved.options.inputs, (std::vector<std::string>{"a.avi", "b.lst"}));

    EXPECT_EQ(
        Parse({"--project", "p.mdp", "clip.avi"}).error, "--project takes its inputs from the project; give no INPUT");
    EXPECT_EQ(Parse({"--project", "p.mdp", "--save-project", "q.mdp"}).error,
        "--project and --save-project cannot be combined");
    EXPECT_EQ(Parse({"--save-project", "q.mdp"}).error, "no input given");
    EXPECT_EQ(Parse({"clip.avi", "--project"}).error, "--project needs a value");
}

TEST(CliOptionsTest, TheSoundTrackIsANumberFromOneForInputsOnly)
{
    const ParseResult chosen = Parse({"--audio-track", "2", "a.mkv", "b.mkv"});
    ASSERT_EQ(chosen.error, "");
    EXPECT_EQ(chosen.options.audioTrack, 2);
    EXPECT_FALSE(Parse({"a.mkv"}).options.audioTrack.has_value());
    for (const char* bad : {"0", "-1", "two", ""}) {
        EXPECT_EQ(Parse({"--audio-track", bad, "a.mkv"}).error,
            std::string("bad value '") + bad + "' for --audio-track (a track number from 1)");
    }
    EXPECT_EQ(Parse({"--audio-track", "2", "--project", "p.mdp"}).error,
        "--audio-track is for INPUTs; a project keeps each input's own track");
}

TEST(CliOptionsTest, SubtitlesGoWithTheInputAfterThemOnAnAuthoredDvd)
{
    const ParseResult result = Parse({"--target", "dvd", "--author", "disc", "--subtitles", "a.srt:en", "--subtitles",
        "b.ass", "first.avi", "second.avi", "--subtitles", "c.srt", "third.avi"});
    ASSERT_TRUE(result.error.empty()) << result.error;
    const std::vector<std::vector<std::string>> expected{{"a.srt:en", "b.ass"}, {}, {"c.srt"}};
    EXPECT_EQ(result.options.subtitles, expected);
    EXPECT_EQ(Parse({"--target", "dvd", "--author", "disc", "clip.avi", "--subtitles", "a.srt"}).error,
        "--subtitles goes before the INPUT it belongs to");
    EXPECT_EQ(Parse({"--target", "dvd", "--subtitles", "a.srt", "clip.avi"}).error,
        "--subtitles on a DVD goes with --author or --burn-subtitles");
    EXPECT_EQ(Parse({"clip.avi", "--subtitles"}).error, "--subtitles needs a value");
}

TEST(CliOptionsTest, SubtitlesAreDrawnIntoTheVcdPictureAndIntoTheDvdPictureOnRequest)
{
    for (const char* target : {"vcd", "svcd"}) {
        const ParseResult result = Parse({"--target", target, "--subtitles", "a.srt", "clip.avi"});
        EXPECT_TRUE(result.error.empty()) << target << ": " << result.error;
        EXPECT_FALSE(result.options.burnSubtitles);
    }
    const ParseResult burnt = Parse({"--target", "dvd", "--burn-subtitles", "--subtitles", "a.srt", "clip.avi"});
    ASSERT_TRUE(burnt.error.empty()) << burnt.error;
    EXPECT_TRUE(burnt.options.burnSubtitles);
    EXPECT_FALSE(Parse({"--target", "dvd", "clip.avi"}).options.burnSubtitles);
}

TEST(CliOptionsTest, DvdAudioTracksAreDistinctNumbersFromOneForADvd)
{
    const ParseResult result = Parse({"--target", "dvd", "--dvd-audio-tracks", "3,1", "clip.avi"});
    ASSERT_TRUE(result.error.empty()) << result.error;
    EXPECT_EQ(result.options.dvdAudioTracks, (std::vector<int>{3, 1}));
    EXPECT_FALSE(Parse({"--target", "dvd", "clip.avi"}).options.dvdAudioTracks.has_value());
    for (const char* bad : {"", "0", "1,", ",2", "1,1", "a", "1;2", "-1"}) {
        EXPECT_EQ(Parse({"--target", "dvd", "--dvd-audio-tracks", bad, "clip.avi"}).error,
            std::string("bad value '") + bad + "' for --dvd-audio-tracks (track numbers from 1, parted by commas)");
    }
    EXPECT_EQ(Parse({"--target", "svcd", "--dvd-audio-tracks", "1", "clip.avi"}).error,
        "--dvd-audio-tracks is for DVDs only");
}


} // namespace
} // namespace discforge::cli
