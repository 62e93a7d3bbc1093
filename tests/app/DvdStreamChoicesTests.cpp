// What a DVD title declares of its sound and subtitle streams: languages as a DVD
// writes them, widescreen and letterbox pairs of subtitles for 16:9; the spumux project of a subtitle stream and the cues a
// part of a title carries on its own clock.
#include "app/DvdLanguages.h"
#include "app/DvdauthorProject.h"
#include "app/SubtitleAuthoring.h"

#include "core/ConversionSettings.h"
#include "input/SubtitleFile.h"

#include <gtest/gtest.h>

#include <regex>

namespace discforge::test {
namespace {

TEST(DvdLanguageCodes, TwoAndThreeLetterNamesBecomeTwoLetters)
{
    EXPECT_EQ(DvdLanguageCode("eng"), "en");
    EXPECT_EQ(DvdLanguageCode("ger"), "de");
    EXPECT_EQ(DvdLanguageCode("deu"), "de");
    EXPECT_EQ(DvdLanguageCode("fre"), "fr");
    EXPECT_EQ(DvdLanguageCode("spa"), "es");
    EXPECT_EQ(DvdLanguageCode("FR"), "fr");
    EXPECT_EQ(DvdLanguageCode("chi"), "zh");
    EXPECT_EQ(DvdLanguageCode("und"), "");
    EXPECT_EQ(DvdLanguageCode("qqq"), "");
    EXPECT_EQ(DvdLanguageCode("e1g"), "");
    EXPECT_EQ(DvdLanguageCode("english"), "");
    EXPECT_EQ(DvdLanguageCode(""), "");
}

AuthoringRequest TwoInputs()
{
    AuthoringRequest request;
    request.outputFormat = formatDvd;
    request.tvStandard = standardPal;
    request.streams = {{"/in/a.mpg"}, {"/in/b.mpg"}};
    return request;
}

TEST(DvdStreamDeclarations, TitlesDeclareTheLanguagesOfTheirStreams)
{
    std::vector<TitleTraits> traits(3);
    traits[1].wide = true;
    DeclareLanguages({{"eng"}, {"ger", "eng", "und"}, {"und"}}, {{"fre"}, {}}, traits);
    EXPECT_EQ(traits[0].audioLanguages, std::vector<std::string>{"en"});
    EXPECT_EQ(traits[0].subpictureLanguages, std::vector<std::string>{"fr"});
    EXPECT_EQ(traits[1].audioLanguages, (std::vector<std::string>{"de", "en", ""}));
    EXPECT_TRUE(traits[1].subpictureLanguages.empty());
    EXPECT_TRUE(traits[1].wide);
    // One stream of no language is left for dvdauthor to find, as before.
    EXPECT_TRUE(traits[2].audioLanguages.empty());
    EXPECT_TRUE(traits[2].subpictureLanguages.empty());
}

TEST(DvdStreamDeclarations, WideTitlesPairEachSubtitleForWidescreenAndLetterbox)
{
    std::vector<TitleTraits> traits(2);
    traits[0].subpictureLanguages = {"fr"};
    traits[1].wide = true;
    traits[1].subpictureLanguages = {"en", ""};
    // Without the writer's line breaks and indents.
    const std::string xml = std::regex_replace(DvdauthorProject(TwoInputs(), "/out/disc", traits), std::regex("\n *"), "");
    EXPECT_NE(xml.find("<subpicture lang=\"fr\"/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<subpicture lang=\"en\"><stream id=\"0\" mode=\"widescreen\"/><stream id=\"1\" "
                       "mode=\"letterbox\"/></subpicture><subpicture><stream id=\"2\" mode=\"widescreen\"/><stream "
                       "id=\"3\" mode=\"letterbox\"/></subpicture>"),
        std::string::npos)
        << xml;
}

std::string Attribute(const std::string& xml, const std::string& name)
{
    std::smatch match;
    const std::regex pattern(" " + name + "=\"([^\"]*)\"");
    return std::regex_search(xml, match, pattern) ? match[1].str() : std::string{};
}

TEST(SpumuxProjects, TextIsLargeOutlinedAndInsideTheTitleSafeArea)
{
    const std::string pal = SpumuxProject("/work/a&b.srt", standardPal, false, false);
    EXPECT_EQ(Attribute(pal, "filename"), "/work/a&amp;b.srt");
    EXPECT_EQ(Attribute(pal, "format"), "PAL");
    EXPECT_EQ(Attribute(pal, "characterset"), "UTF-8");
    EXPECT_EQ(Attribute(pal, "font"), "DejaVuSans");
    // A twentieth of 576 lines is 28.8; the em must be larger still for the letters to reach it.
    EXPECT_GE(std::stoi(Attribute(pal, "fontsize")), 29);
    EXPECT_EQ(Attribute(pal, "outline-color"), "black");
    EXPECT_EQ(Attribute(pal, "fill-color"), "white");
    // 5 % of 720 and of 576 on every side.
    EXPECT_EQ(Attribute(pal, "left-margin"), "36");
    EXPECT_EQ(Attribute(pal, "right-margin"), "36");
    EXPECT_EQ(Attribute(pal, "bottom-margin"), "29");
    EXPECT_EQ(Attribute(pal, "top-margin"), "29");
    EXPECT_EQ(Attribute(pal, "aspect"), "4:3");

    const std::string ntsc = SpumuxProject("a.srt", standardNtsc, true, false);
    EXPECT_EQ(Attribute(ntsc, "format"), "NTSC");
    EXPECT_GE(std::stoi(Attribute(ntsc, "fontsize")), 24);
    EXPECT_EQ(Attribute(ntsc, "bottom-margin"), "24");
    EXPECT_EQ(Attribute(ntsc, "movie-fps"), "29.97");
    EXPECT_EQ(Attribute(ntsc, "aspect"), "16:9");
    EXPECT_EQ(Attribute(SpumuxProject("a.srt", standardNtsc, true, true), "aspect"), "4:3");
}

TEST(PartCues, APartCarriesItsOwnCuesOnItsOwnClock)
{
    const std::vector<SubtitleCue> cues
        = {{1000, 2000, "first"}, {9000, 11000, "across"}, {12500, 13000, "second part"}, {61000, 62000, "late"}};
    EXPECT_EQ(PartSubRip(cues, 0, 10000),
        "1\n00:00:01,000 --> 00:00:02,000\nfirst\n\n2\n00:00:09,000 --> 00:00:10,000\nacross\n\n");
    EXPECT_EQ(PartSubRip(cues, 10000, 50000),
        "1\n00:00:00,000 --> 00:00:01,000\nacross\n\n2\n00:00:02,500 --> 00:00:03,000\nsecond part\n\n");
    EXPECT_EQ(PartSubRip(cues, 3600000, 1000), "");
    EXPECT_EQ(PartSubRip({{3723004, 3724000, "x"}}, 0, 4000000), "1\n01:02:03,004 --> 01:02:04,000\nx\n\n");
}

} // namespace
} // namespace discforge::test
