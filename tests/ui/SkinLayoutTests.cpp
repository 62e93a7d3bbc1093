// The layout file and where the skin is found: the lookup by substring, the
// numbers a short value leaves alone, and the folder the program works in.
#include "support/TestFolder.h"
#include "ui/SkinFolder.h"
#include "ui/SkinLayout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace discforge::ui {
namespace {

LayoutRect Rect(int left, int top, int width, int height) { return {left, top, width, height}; }

void ExpectRect(const LayoutRect& rect, int left, int top, int width, int height)
{
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.width, width);
    EXPECT_EQ(rect.height, height);
}

TEST(ReadLayoutRect, AKeyIsFoundInsideALongerKeyThatComesFirst)
{
    const std::string text = "SVCDRadio=300,10,90,20;\nVCDRadio=100,10,90,20;\n";
    LayoutRect rect;
    ASSERT_TRUE(ReadLayoutRect(text, "VCDRadio", rect));
    ExpectRect(rect, 300, 10, 90, 20);
}

TEST(ReadLayoutRect, AShortValueKeepsTheNumbersOfThePreviousKey)
{
    const std::string text = "help=1,2,3,4;\nabout=10,20;\n";
    LayoutRect rect;
    ASSERT_TRUE(ReadLayoutRect(text, "help", rect));
    ASSERT_TRUE(ReadLayoutRect(text, "about", rect));
    ExpectRect(rect, 10, 20, 3, 4);
}

TEST(ReadLayoutRect, BlanksAreSkippedBeforeANumberOnly)
{
    LayoutRect rect;
    ASSERT_TRUE(ReadLayoutRect("key=10, 20,30,40;", "key", rect));
    ExpectRect(rect, 10, 20, 30, 40);

    rect = Rect(1, 2, 3, 4);
    ASSERT_TRUE(ReadLayoutRect("key=10 ,20,30,40;", "key", rect));
    ExpectRect(rect, 10, 2, 3, 4);

    rect = Rect(1, 2, 3, 4);
    ASSERT_TRUE(ReadLayoutRect("key=-5,+6,x,8;", "key", rect));
    ExpectRect(rect, -5, 6, 3, 4);
}

TEST(ReadLayoutRect, TheSeparatorIsAnyOneCharacter)
{
    LayoutRect rect;
    ASSERT_TRUE(ReadLayoutRect("MainSize:600,400;", "MainSize", rect));
    ExpectRect(rect, 600, 400, 0, 0);
    ASSERT_TRUE(ReadLayoutRect("MainSize 7,8;", "MainSize", rect));
    ExpectRect(rect, 7, 8, 0, 0);
}

TEST(ReadLayoutRect, AKeyWithNothingAfterItOrNoValueLeavesTheRectangleAndFails)
{
    LayoutRect rect = Rect(1, 2, 3, 4);
    EXPECT_FALSE(ReadLayoutRect("help=1,2,3,4;\nexit=", "exit", rect));
    EXPECT_FALSE(ReadLayoutRect("help=1,2,3,4;\nexit", "exit", rect));
    EXPECT_FALSE(ReadLayoutRect("help=1,2,3,4;", "exit", rect)) << "a missing key";
    EXPECT_FALSE(ReadLayoutRect("exit=5,6,7,8", "exit", rect)) << "no terminating ;";
    EXPECT_FALSE(ReadLayoutRect("exit=" + std::string(100, ' ') + "5;", "exit", rect)) << "a value over 99 characters";
    ExpectRect(rect, 1, 2, 3, 4);
    EXPECT_TRUE(ReadLayoutRect("exit=" + std::string(97, ' ') + "5;", "exit", rect));
    EXPECT_EQ(rect.left, 5);
}

TEST(ReadLayoutRect, NumbersBeyondTheIntRangeAreNotTaken)
{
    LayoutRect rect = Rect(1, 2, 3, 4);
    ASSERT_TRUE(ReadLayoutRect("key=99999999999,5;", "key", rect));
    ExpectRect(rect, 1, 2, 3, 4);
}

TEST(ReadLayoutFile, AMissingOrHugeFileIsNoLayout)
{
    test::TestFolder folder;
    EXPECT_FALSE(ReadLayoutFile(folder.File("position.txt")));
    {
        std::ofstream huge(folder.File("huge.txt"), std::ios::binary);
        huge << std::string(maxLayoutFileSize + 1, 'x');
    }
    EXPECT_FALSE(ReadLayoutFile(folder.File("huge.txt")));
    {
        std::ofstream small(folder.File("small.txt"), std::ios::binary);
        small << "MainSize=1,2;\r\n";
    }
    EXPECT_EQ(ReadLayoutFile(folder.File("small.txt")), std::optional<std::string>("MainSize=1,2;\r\n"));
}

void MakeSkinIn(const std::string& folder)
{
    std::filesystem::create_directories(folder + "/UI");
    std::ofstream(folder + "/UI/position.txt") << "MainSize=1,2;";
}

TEST(SkinFolder, TheWorkingDirectoryWinsThenTheInstalledSkin)
{
    test::TestFolder folder;
    const std::string work = folder.File("work");
    const std::string program = folder.File("prefix/bin");
    const std::string data = folder.File("prefix/share/ferrowick-discforge");
    std::filesystem::create_directories(work);
    const std::vector<std::string> installed = InstallFolders(program + "/discforge");
    EXPECT_EQ(installed, (std::vector<std::string>{program, data}));

    EXPECT_FALSE(ChooseSkinFolder(work, installed)) << "no skin anywhere";
    MakeSkinIn(data);
    EXPECT_EQ(ChooseSkinFolder(work, installed), data);
    MakeSkinIn(program);
    EXPECT_EQ(ChooseSkinFolder(work, installed), program);
    MakeSkinIn(work);
    EXPECT_EQ(ChooseSkinFolder(work, installed), work);
}

} // namespace
} // namespace discforge::ui
