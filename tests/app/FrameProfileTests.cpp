#include "app/FrameProfile.h"
#include "platform/ProfileStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace discforge {
namespace {

class FrameProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = (std::filesystem::path(::testing::TempDir())
            / (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ini"))
                    .string();
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    FrameProfile ReadWith(int left, int top)
    {
        {
            ProfileStore profile(path_);
            WriteFrameProfile(profile, left, top, true, false);
        }
        ProfileStore profile(path_);
        return ReadFrameProfile(profile);
    }

    std::string path_;
};

TEST_F(FrameProfileTest, AnEmptyProfileGivesTheDefaultPosition)
{
    ProfileStore profile(path_);
    const FrameProfile frame = ReadFrameProfile(profile);
    EXPECT_EQ(frame.left, 100);
    EXPECT_EQ(frame.top, 50);
    EXPECT_FALSE(frame.editFilters);
}

TEST_F(FrameProfileTest, PositionsOutsideTheirRangeBecomeZero)
{
    EXPECT_EQ(ReadWith(801, 50).left, 0);
    EXPECT_EQ(ReadWith(-1, 50).left, 0);
    EXPECT_EQ(ReadWith(100, 601).top, 0);
    EXPECT_EQ(ReadWith(100, -1).top, 0);
    const FrameProfile edge = ReadWith(800, 600);
    EXPECT_EQ(edge.left, 800);
    EXPECT_EQ(edge.top, 600);
    const FrameProfile low = ReadWith(0, 0);
    EXPECT_EQ(low.left, 0);
    EXPECT_EQ(low.top, 0);
}

TEST_F(FrameProfileTest, TheSwitchesAreWrittenAsZeroOrOneAndEditFiltersIsReadBack)
{
    {
        ProfileStore profile(path_);
        WriteFrameProfile(profile, 10, 20, false, true);
    }
    ProfileStore profile(path_);
    EXPECT_EQ(profile.ReadInt("Ferrowick Discforge", "batch", -1), 0);
    EXPECT_EQ(profile.ReadInt("Ferrowick Discforge", "editFilters", -1), 1);
    EXPECT_TRUE(ReadFrameProfile(profile).editFilters);
}

TEST_F(FrameProfileTest, AValueThatIsNoNumberFallsBackToTheDefault)
{
    {
        ProfileStore profile(path_);
        profile.WriteString("Ferrowick Discforge", "left", "wide");
    }
    ProfileStore profile(path_);
    EXPECT_EQ(ReadFrameProfile(profile).left, 100);
}

TEST_F(FrameProfileTest, TheDiscSwitchAndItsFolderComeBackAsWritten)
{
    {
        ProfileStore profile(path_);
        const DiscProfile empty = ReadDiscProfile(profile);
        EXPECT_FALSE(empty.afterConverting);
        EXPECT_EQ(empty.folder, "");
    }
    // Commas, quotes and semicolons mean something in the profile's own notation.
    const std::string folder = "/home/sam/Discs, \"summer\"; 2023/Ærø";
    {
        ProfileStore profile(path_);
        WriteDiscProfile(profile, {true, folder});
    }
    ProfileStore profile(path_);
    const DiscProfile disc = ReadDiscProfile(profile);
    EXPECT_TRUE(disc.afterConverting);
    EXPECT_EQ(disc.folder, folder);
}

} // namespace
} // namespace discforge
