// The dvdauthor project of a DVD: one title set per shape, in the order the
// shapes first come, and every title going on to the next input's, across sets
// through the video manager.
#include "app/DvdauthorProject.h"

#include "core/ConversionSettings.h"

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

int Count(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

AuthoringRequest ThreeInputs()
{
    AuthoringRequest request;
    request.outputFormat = formatDvd;
    request.tvStandard = standardPal;
    request.streams = {{"/in/a.mpg"}, {"/in/b.mpg"}, {"/in/c.mpg"}};
    return request;
}

TEST(DvdauthorProject, OneShapeMakesOneTitleSetWhoseTitlesFollowEachOther)
{
    const std::string xml = DvdauthorProject(ThreeInputs(), "/out/disc", {false, false, false});
    EXPECT_EQ(Count(xml, "<titleset>"), 1);
    EXPECT_EQ(Count(xml, "aspect="), 0);
    EXPECT_NE(xml.find("<post>jump title 2;</post>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<post>jump title 3;</post>"), std::string::npos) << xml;
    EXPECT_EQ(Count(xml, "<post>"), 2) << "the last title ends the disc";
    EXPECT_NE(xml.find("<vmgm><menus><video format=\"pal\" /></menus></vmgm>"), std::string::npos) << xml;

    const std::string wide = DvdauthorProject(ThreeInputs(), "/out/disc", {true, true, true});
    EXPECT_EQ(Count(wide, "<titleset>"), 1);
    EXPECT_EQ(Count(wide, "<video format=\"pal\" aspect=\"16:9\" widescreen=\"nopanscan\" />"), 1) << wide;
}

TEST(DvdauthorProject, MixedShapesMakeATitleSetEachAndCrossBetweenThemInTheInputsOrder)
{
    // Wide, 4:3, wide: set 1 holds a and c (titles 1 and 2 of the disc), set 2 holds b (title 3).
    const std::string xml = DvdauthorProject(ThreeInputs(), "/out/disc", {true, false, true});
    EXPECT_EQ(Count(xml, "<titleset>"), 2);
    const std::size_t firstSet = xml.find("<titleset>");
    const std::size_t secondSet = xml.find("<titleset>", firstSet + 1);
    ASSERT_NE(secondSet, std::string::npos);
    const std::string first = xml.substr(firstSet, secondSet - firstSet);
    const std::string second = xml.substr(secondSet);
    EXPECT_NE(first.find("aspect=\"16:9\""), std::string::npos) << xml;
    EXPECT_EQ(second.find("aspect="), std::string::npos) << xml;
    EXPECT_LT(first.find("/in/a.mpg"), first.find("/in/c.mpg"));
    EXPECT_NE(second.find("/in/b.mpg"), std::string::npos);

    // a goes to b (disc title 3) and b to c (disc title 2), each through a menu of the manager.
    EXPECT_NE(xml.find("<pgc><pre>jump title 3;</pre></pgc><pgc><pre>jump title 2;</pre></pgc>"), std::string::npos)
        << xml;
    EXPECT_LT(first.find("/in/a.mpg"), first.find("<post>call vmgm menu 1;</post>"));
    EXPECT_NE(second.find("<post>call vmgm menu 2;</post>"), std::string::npos) << xml;
    EXPECT_EQ(Count(xml, "<post>"), 2) << "c, the last input, ends the disc";
}

TEST(DvdauthorProject, MissingShapesCountAsFourByThree)
{
    const std::string xml = DvdauthorProject(ThreeInputs(), "/out/disc", {true});
    EXPECT_EQ(Count(xml, "<titleset>"), 2);
    EXPECT_NE(xml.find("<post>call vmgm menu 1;</post>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<post>jump title 2;</post>"), std::string::npos) << "b goes on to c in their set";
}

} // namespace
} // namespace discforge::test
