#include "app/AppPaths.h"
#include "core/ShowMessage.h"
#include "core/headless/RecordingMessagePort.h"

#include <gtest/gtest.h>

namespace discforge {
namespace {

TEST(ShowMessageTest, TheCaptionJoinsTitleAndContextOrIsTheTitleAlone)
{
    RecordingMessagePort port;
    ShowMessage(port, "Can't open file x.", "open file list error");
    ShowMessage(port, "text", "");
    ASSERT_EQ(port.shown.size(), 2u);
    EXPECT_EQ(port.shown[0].caption, "Ferrowick Discforge - open file list error");
    EXPECT_EQ(port.shown[0].text, "Can't open file x.");
    EXPECT_EQ(port.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(port.shown[1].caption, "Ferrowick Discforge");
}

TEST(ShowMessageTest, ALongCaptionIsCutToTheBufferOfEightyCharacters)
{
    const std::string caption = ComposeCaption(std::string(100, 'x'));
    EXPECT_EQ(caption.size(), 79u);
    EXPECT_EQ(caption.rfind("Ferrowick Discforge - xxx", 0), 0u);
}

TEST(AppPathsTest, PathsAreFormedFromTheWorkingDirectory)
{
    const AppPaths paths = MakeAppPaths("/home/user/discs");
    EXPECT_EQ(paths.helpFilePath, "/home/user/discs/help/index.html");
    EXPECT_EQ(paths.skinImagePath[0], "/home/user/discs/UI/interface.jpg");
    EXPECT_EQ(paths.skinImagePath[1], "/home/user/discs/UI/inputpreview.jpg");
    EXPECT_EQ(paths.skinImagePath[2], "/home/user/discs/UI/outputpreview.jpg");
}

TEST(AppPathsTest, AnUnreadableWorkingDirectoryLeavesTheSuffixAlone)
{
    const AppPaths paths = MakeAppPaths("");
    EXPECT_EQ(paths.helpFilePath, "/help/index.html");
    EXPECT_EQ(paths.skinImagePath[0], "/UI/interface.jpg");
}

} // namespace
} // namespace discforge
