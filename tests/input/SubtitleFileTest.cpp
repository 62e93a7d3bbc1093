// The subtitle reader on files as users have them and as they break: SubRip and
// SubStation cues with their markup, byte-order marks, bad times, overlapping cues,
// binary bytes, other encodings, and files far too large; the files beside a video.
#include "input/SubtitleFile.h"
#include "input/SubtitleSidecars.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace discforge {
namespace {

using namespace std::string_literals;

SubtitleRead Parse(const std::string& text) { return ParseSubtitles(text, "film.srt"); }

TEST(SubtitleCues, SubRipCuesKeepTheirTimesAndLinesWithoutMarkup)
{
    const SubtitleRead read = Parse("1\r\n00:00:01,500 --> 00:00:03,250\r\n<i>Hello</i> <font color=\"red\">you</font>\r\n"
                                    "second line\r\n\r\n2\r\n01:02:03.4 --> 01:02:05,000 X1:10 X2:20\r\nLater\r\n");
    ASSERT_TRUE(read.Ok()) << read.problem;
    ASSERT_EQ(read.cues.size(), 2u);
    EXPECT_EQ(read.cues[0].startMs, 1500);
    EXPECT_EQ(read.cues[0].endMs, 3250);
    EXPECT_EQ(read.cues[0].text, "Hello you\nsecond line");
    EXPECT_EQ(read.cues[1].startMs, 3723400);
    EXPECT_EQ(read.cues[1].endMs, 3725000);
    EXPECT_EQ(read.cues[1].text, "Later");
}

TEST(SubtitleCues, SubStationDialoguesFollowTheirFormatLine)
{
    const SubtitleRead read = Parse("[Script Info]\nTitle: x\n\n[V4+ Styles]\nFormat: Name, Fontname\n\n[Events]\n"
                                    "Format: Layer, Start, End, Style, Text\n"
                                    "Dialogue: 0,0:00:02.50,0:00:04.00,Default,{\\an8}Top, with a comma\\Nnext\n"
                                    "Comment: 0,0:00:05.00,0:00:06.00,Default,not shown\n");
    ASSERT_TRUE(read.Ok()) << read.problem;
    ASSERT_EQ(read.cues.size(), 1u);
    EXPECT_EQ(read.cues[0].startMs, 2500);
    EXPECT_EQ(read.cues[0].endMs, 4000);
    EXPECT_EQ(read.cues[0].text, "Top, with a comma\nnext");
}

TEST(SubtitleCues, BadTimesAreLeftOutAndCounted)
{
    const SubtitleRead read = Parse("1\n00:00:05,000 --> 00:00:04,000\nbackwards\n\n"
                                    "2\n00:61:00,000 --> 00:62:00,000\nno such minute\n\n"
                                    "3\nnonsense --> 00:00:01,000\ngarbage\n\n"
                                    "4\n00:00:07,000 --> 00:00:08,000\nkept\n");
    ASSERT_TRUE(read.Ok()) << read.problem;
    ASSERT_EQ(read.cues.size(), 1u);
    EXPECT_EQ(read.cues[0].text, "kept");
    EXPECT_EQ(read.skipped, 3);
    EXPECT_FALSE(Parse("1\n00:00:05,000 --> 00:00:04,000\nbackwards\n").Ok());
}

TEST(SubtitleCues, OverlappingCuesFollowEachOtherAndCuesOfOneStartShowTogether)
{
    const SubtitleRead read = Parse("1\n00:00:03,000 --> 00:00:06,000\nthird\n\n"
                                    "2\n00:00:01,000 --> 00:00:04,000\nfirst\n\n"
                                    "3\n00:00:01,000 --> 00:00:02,000\nalso first\n\n");
    ASSERT_TRUE(read.Ok()) << read.problem;
    ASSERT_EQ(read.cues.size(), 2u);
    EXPECT_EQ(read.cues[0].startMs, 1000);
    EXPECT_EQ(read.cues[0].endMs, 3000);
    EXPECT_EQ(read.cues[0].text, "first\nalso first");
    EXPECT_EQ(read.cues[1].startMs, 3000);
    EXPECT_EQ(read.cues[1].endMs, 6000);
}

TEST(SubtitleCues, LongCuesAreCutToTheirBounds)
{
    std::string text = "1\n00:00:01,000 --> 00:00:02,000\n";
    for (int line = 0; line < 20; ++line) {
        text += std::string(1000, 'a') + "\n";
    }
    const SubtitleRead read = Parse(text);
    ASSERT_EQ(read.cues.size(), 1u);
    EXPECT_EQ(read.cues[0].text, std::string(256, 'a') + "\n" + std::string(256, 'a') + "\n" + std::string(256, 'a')
            + "\n" + std::string(256, 'a') + "\n" + std::string(256, 'a') + "\n" + std::string(256, 'a') + "\n"
            + std::string(256, 'a') + "\n" + std::string(256, 'a'));
    // A cut never splits a character: 200 two-byte letters keep 128 whole ones.
    std::string wide = "1\n00:00:01,000 --> 00:00:02,000\n";
    for (int letter = 0; letter < 200; ++letter) {
        wide += "\xC3\xA9";
    }
    const SubtitleRead cut = Parse(wide);
    ASSERT_EQ(cut.cues.size(), 1u);
    EXPECT_EQ(cut.cues[0].text.size(), 256u);
}

TEST(SubtitleEncodings, ByteOrderMarksAreReadAndOtherEncodingsNamed)
{
    const SubtitleRead utf8 = Parse("\xEF\xBB\xBF" "1\n00:00:01,000 --> 00:00:02,000\nJ\xC3\xA4ger\n");
    ASSERT_EQ(utf8.cues.size(), 1u);
    EXPECT_EQ(utf8.cues[0].text, "J\xC3\xA4ger");

    // "1\n00:00:01,000 --> 00:00:02,000\nJäger" in UTF-16, little-endian and big-endian.
    const std::string plain = "1\n00:00:01,000 --> 00:00:02,000\nJ\xE4ger";
    std::string little = "\xFF\xFE";
    std::string big = "\xFE\xFF";
    for (const char c : plain) {
        little += c;
        little += '\0';
        big += '\0';
        big += c;
    }
    for (const std::string& utf16 : {little, big}) {
        const SubtitleRead read = Parse(utf16);
        ASSERT_EQ(read.cues.size(), 1u) << read.problem;
        EXPECT_EQ(read.cues[0].text, "J\xC3\xA4ger");
    }

    const SubtitleRead latin = Parse("1\n00:00:01,000 --> 00:00:02,000\nJ\xE4ger\n");
    EXPECT_TRUE(latin.cues.empty());
    EXPECT_EQ(latin.problem, "The subtitle file film.srt is not written in UTF-8 or UTF-16: save it as UTF-8 and add it again.");
    EXPECT_FALSE(Parse("\xFF\xFE\x00\xD8\x41\x00"s).Ok()) << "a lone surrogate";
    EXPECT_FALSE(Parse("\xFF\xFE\x41"s).Ok()) << "an odd length";
}

TEST(SubtitleFiles, BinaryBytesAndHugeFilesGiveAClearMessage)
{
    const SubtitleRead binary = Parse("1\n00:00:01,000 --> 00:00:02,000\nok\n\x00\x01\x02"s);
    EXPECT_TRUE(binary.cues.empty());
    EXPECT_EQ(binary.problem, "The subtitle file film.srt holds binary bytes, not text.");

    test::TestFolder folder;
    const std::string huge = folder.File("huge.srt");
    {
        std::ofstream file(huge, std::ios::binary);
        const std::string cue = "1\n00:00:01,000 --> 00:00:02,000\nline\n\n";
        for (std::size_t written = 0; written < 50u * 1024 * 1024; written += cue.size()) {
            file << cue;
        }
    }
    const SubtitleRead read = ReadSubtitleFile(huge);
    EXPECT_TRUE(read.cues.empty());
    EXPECT_EQ(read.problem, "The subtitle file " + huge + " is larger than 10 MB: it is not a subtitle file.");
    EXPECT_EQ(ReadSubtitleFile(folder.File("missing.srt")).problem,
        "The subtitle file " + folder.File("missing.srt") + " cannot be read.");

    const std::string empty = folder.File("empty.srt");
    std::ofstream(empty) << "\n\n";
    EXPECT_FALSE(ReadSubtitleFile(empty).Ok());
    EXPECT_TRUE(IsSubtitlePath("a/Film.SRT"));
    EXPECT_TRUE(IsSubtitlePath("film.en.ass"));
    EXPECT_FALSE(IsSubtitlePath("film.avi"));
}

TEST(SubtitleSidecars, FilesOfTheVideosNameAreFoundWithTheirLanguages)
{
    test::TestFolder folder;
    for (const char* name : {"film.avi", "film.srt", "film.en.srt", "film.GER.ass", "film.english.srt", "other.srt",
             "film.fr.txt", "filmmaker.srt", "film.idx", "film.sub"}) {
        std::ofstream(folder.File(name)) << "x";
    }
    std::filesystem::create_directory(folder.File("film.de.srt"));
    const std::vector<SubtitleSource> found = SidecarSubtitles(folder.File("film.avi"));
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].path, folder.File("film.GER.ass"));
    EXPECT_EQ(found[0].language, "ger");
    EXPECT_EQ(found[1].path, folder.File("film.en.srt"));
    EXPECT_EQ(found[1].language, "en");
    // A VobSub index stands for its pair; the ".sub" itself is not a subtitle file.
    EXPECT_EQ(found[2].path, folder.File("film.idx"));
    EXPECT_EQ(found[3].path, folder.File("film.srt"));
    EXPECT_EQ(found[3].language, "und");
    EXPECT_TRUE(SidecarSubtitles(folder.File("missing/film.avi")).empty());
}

TEST(SubtitleSidecars, AChoiceNamesItsLanguageAfterTheLastColon)
{
    EXPECT_EQ(ParseSubtitleChoice("film.srt:de").path, "film.srt");
    EXPECT_EQ(ParseSubtitleChoice("film.srt:de").language, "de");
    EXPECT_EQ(ParseSubtitleChoice("dir:x/film.srt:FRE").path, "dir:x/film.srt");
    EXPECT_EQ(ParseSubtitleChoice("dir:x/film.srt:FRE").language, "fre");
    EXPECT_EQ(ParseSubtitleChoice("film.srt").language, "und");
    EXPECT_EQ(ParseSubtitleChoice("C:film.srt").path, "C:film.srt");
    EXPECT_EQ(ParseSubtitleChoice("film:english").path, "film:english");
}

} // namespace
} // namespace discforge
