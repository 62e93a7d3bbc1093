#include "app/OutputName.h"

#include <gtest/gtest.h>

namespace discforge {
namespace {

TEST(OutputNameTest, TheExtensionIsReplacedByMpg)
{
    EXPECT_EQ(ProposeOutputPath("/video/clip.avi"), "/video/clip.mpg");
    EXPECT_EQ(ProposeOutputPath("/video/pictures.lst"), "/video/pictures.mpg");
    EXPECT_EQ(ProposeOutputPath("clip.tar.avi"), "clip.tar.mpg");
}

TEST(OutputNameTest, AnMpegInputGetsAOneSoItIsNotOverwritten)
{
    EXPECT_EQ(ProposeOutputPath("/Video/Clip.MPG"), "/Video/Clip1.mpg");
    EXPECT_EQ(ProposeOutputPath("/video/clip.mpg"), "/video/clip1.mpg");
}

TEST(OutputNameTest, APathWithoutExtensionKeepsItsWholeNameAndFolderDotsStay)
{
    EXPECT_EQ(ProposeOutputPath("/video/clip"), "/video/clip.mpg");
    EXPECT_EQ(ProposeOutputPath("/my.files/clip"), "/my.files/clip.mpg");
    EXPECT_EQ(ProposeOutputPath("c:\\my.files\\clip"), "c:\\my.files\\clip.mpg");
}

TEST(OutputNameTest, ListAndMpegDetectionIgnoresCase)
{
    EXPECT_TRUE(ContainsNoCase("/a/B.LST", ".lst"));
    EXPECT_FALSE(ContainsNoCase("/a/b.ls", ".lst"));
}

} // namespace
} // namespace discforge
