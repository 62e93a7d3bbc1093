#include "InputTestSupport.h"

#include <gtest/gtest.h>

namespace discforge {
namespace {

using test::InputTableRig;
using test::MediaFigures;
using Paths = std::vector<std::string>;

MediaFigures Frames(int frames)
{
    MediaFigures media;
    media.frames = frames;
    return media;
}

// Inputs a, b, c, d with 10, 20, 30 and 40 frames; d is selected and current.
struct FourInputs : ::testing::TestWithParam<bool> {
    FourInputs()
    {
        rig.settings.batchMode = GetParam();
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(rig.AddVideo(std::string("/v/") + char('a' + i) + ".avi", Frames(10 * (i + 1))));
        }
    }
    void Select(int index)
    {
        rig.table.DeactivateInput(rig.state.selectedInput);
        rig.state.selectedInput = rig.state.currentInput = index;
        ASSERT_TRUE(rig.table.ActivateInput(index));
    }
    Paths TablePaths() const
    {
        Paths paths;
        for (int i = 0; i < rig.state.inputCount; ++i) {
            paths.push_back(rig.state.inputTable[static_cast<std::size_t>(i)].path);
        }
        return paths;
    }
    bool batch() const { return GetParam(); }

    InputTableRig rig;
};

TEST_P(FourInputs, RemovingTheSelectedInputSelectsTheNextOne)
{
    Select(1);
    const std::size_t logBefore = rig.LogLines().size();
    rig.table.RemoveInput(1);

    EXPECT_EQ(TablePaths(), (Paths{"/v/a.avi", "/v/c.avi", "/v/d.avi"}));
    EXPECT_EQ(rig.host.listBox, TablePaths());
    EXPECT_EQ(rig.state.inputCount, 3);
    EXPECT_EQ(rig.state.videoFileCount, 3);
    EXPECT_EQ(rig.state.selectedInput, 1);
    EXPECT_EQ(rig.state.currentInput, 1);
    EXPECT_EQ(rig.state.framePosition, batch() ? 0 : 10);
    EXPECT_EQ(rig.streams.openPaths, std::set<std::string>{"/v/c.avi"});
    // Described and refreshed: the description of c follows.
    const auto lines = rig.LogLines();
    ASSERT_GT(lines.size(), logBefore);
    EXPECT_EQ(lines[logBefore], "File Name: /v/c.avi");
    EXPECT_EQ(rig.host.refreshes, 1);
    // The vacated slot is empty again.
    EXPECT_TRUE(rig.state.inputTable[3].path.empty());
}

TEST_P(FourInputs, RemovingTheLastInputSelectsTheOneBefore)
{
    rig.table.RemoveInput(3);
    EXPECT_EQ(rig.state.selectedInput, 2);
    EXPECT_EQ(rig.state.currentInput, 2);
    EXPECT_EQ(rig.state.framePosition, batch() ? 0 : 30);
    EXPECT_EQ(rig.streams.openPaths, std::set<std::string>{"/v/c.avi"});
}

TEST_P(FourInputs, AnInputBeforeTheSelectedOneKeepsTheSelectionOnItsInput)
{
    Select(2);
    rig.table.RemoveInput(0);
    EXPECT_EQ(rig.state.selectedInput, 1);
    EXPECT_EQ(rig.state.inputTable[1].path, "/v/c.avi");
    EXPECT_EQ(rig.state.framePosition, batch() ? 0 : 20);
}

TEST_P(FourInputs, AnInputThatCannotBeReactivatedIsRemovedNext)
{
    Select(1);
    rig.streams.files.erase("/v/c.avi");
    rig.table.RemoveInput(1);
    EXPECT_EQ(rig.host.postedRemoves, 1);
    EXPECT_EQ(rig.state.selectedInput, 1);
    EXPECT_EQ(rig.host.refreshes, 0);
}

TEST_P(FourInputs, RemovingForTheOpenCommandDoesNotRefresh)
{
    const std::size_t logBefore = rig.LogLines().size();
    rig.table.RemoveInput(3, false);
    EXPECT_EQ(rig.LogLines().size(), logBefore);
    EXPECT_EQ(rig.host.refreshes, 0);
}

TEST_P(FourInputs, RemovingEveryInputEmptiesTheTable)
{
    rig.state.sharedOutputName = "/v/out.mpg";
    for (int i = 3; i >= 1; --i) {
        rig.table.RemoveInput(i);
    }
    const std::size_t logBefore = rig.LogLines().size();
    rig.table.RemoveInput(0);

    EXPECT_EQ(rig.state.inputCount, 0);
    EXPECT_EQ(rig.state.selectedInput, -1);
    EXPECT_EQ(rig.state.currentInput, -1);
    EXPECT_EQ(rig.state.videoFileCount, 0);
    EXPECT_EQ(rig.state.sharedOutputName, "");
    EXPECT_EQ(rig.state.sharedWidth, 0);
    EXPECT_EQ(rig.state.sharedHeight, 0);
    EXPECT_EQ(rig.LogLines().size(), logBefore);
    EXPECT_TRUE(rig.host.listBox.empty());
    EXPECT_TRUE(rig.streams.openPaths.empty());

    rig.table.RemoveInput(0);
    EXPECT_EQ(rig.state.inputCount, 0);
}

TEST_P(FourInputs, MovingUpSwapsWithTheNeighbour)
{
    Select(2);
    rig.table.MoveInputUp();
    EXPECT_EQ(TablePaths(), (Paths{"/v/a.avi", "/v/c.avi", "/v/b.avi", "/v/d.avi"}));
    EXPECT_EQ(rig.host.listBox, TablePaths());
    EXPECT_EQ(rig.host.selectedLine, 1);
    EXPECT_EQ(rig.state.selectedInput, 1);
    EXPECT_EQ(rig.state.currentInput, 1);
    EXPECT_EQ(rig.state.framePosition, batch() ? 0 : 10);
    EXPECT_EQ(rig.streams.openPaths, std::set<std::string>{"/v/c.avi"});
    EXPECT_EQ(rig.state.inputTable[1].totalFrames, 30u);
}

TEST_P(FourInputs, MovingDownSwapsWithTheNeighbour)
{
    Select(0);
    rig.state.currentInput = 1;
    rig.table.MoveInputDown();
    EXPECT_EQ(TablePaths(), (Paths{"/v/b.avi", "/v/a.avi", "/v/c.avi", "/v/d.avi"}));
    EXPECT_EQ(rig.state.selectedInput, 1);
    EXPECT_EQ(rig.state.currentInput, 1);
    EXPECT_EQ(rig.state.framePosition, batch() ? 0 : 20);
    EXPECT_EQ(rig.streams.openPaths, std::set<std::string>{"/v/a.avi"});
}

TEST_P(FourInputs, TheFirstCannotMoveUpNorTheLastDown)
{
    rig.table.MoveInputDown();
    Select(0);
    rig.table.MoveInputUp();
    EXPECT_EQ(TablePaths(), (Paths{"/v/a.avi", "/v/b.avi", "/v/c.avi", "/v/d.avi"}));
    EXPECT_EQ(rig.host.refreshes, 0);
    EXPECT_EQ(rig.state.selectedInput, 0);
}

INSTANTIATE_TEST_SUITE_P(BatchModeOnAndOff, FourInputs, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "BatchMode" : "SharedOutput"; });

TEST(RemoveInputWithoutBatchMode, TheCurrentInputIsKeptApartFromTheSelectedOne)
{
    InputTableRig rig;
    rig.settings.batchMode = false;
    for (const char* name : {"/v/a.avi", "/v/b.avi", "/v/c.avi", "/v/d.avi"}) {
        ASSERT_TRUE(rig.AddVideo(name, Frames(10 * (name[3] - 'a' + 1))));
    }
    rig.state.selectedInput = 2;
    rig.state.currentInput = 3;
    rig.table.RemoveInput(2);
    EXPECT_EQ(rig.state.inputTable[2].path, "/v/d.avi");
    EXPECT_EQ(rig.state.selectedInput, 2);
    EXPECT_EQ(rig.state.currentInput, 2);
    EXPECT_EQ(rig.state.framePosition, 30);
    EXPECT_EQ(rig.streams.openPaths, std::set<std::string>{"/v/d.avi"});
}

TEST(RemoveInput, KeepsTheConvertedBuffersOfTheInputsThatStay)
{
    InputTableRig rig;
    rig.settings.batchMode = true;
    MediaFigures sound;
    sound.hasAudio = true;
    ASSERT_TRUE(rig.AddVideo("/v/a.avi", sound));
    ASSERT_TRUE(rig.AddVideo("/v/b.avi", sound));
    rig.state.selectedInput = rig.state.currentInput = 0;
    rig.table.RemoveInput(1);
    EXPECT_EQ(rig.state.inputTable[0].convertedBuffer.size(),
              static_cast<std::size_t>(rig.state.inputTable[0].convertedBytesPerFrame));
    EXPECT_EQ(rig.state.audioInputCount, 1);
}

TEST(RemoveInput, WithoutBatchModeTheLastSoundDropsTheSharedAudio)
{
    InputTableRig rig;
    rig.settings.batchMode = false;
    MediaFigures sound;
    sound.hasAudio = true;
    ASSERT_TRUE(rig.AddVideo("/v/a.avi"));
    ASSERT_TRUE(rig.AddVideo("/v/b.avi", sound));
    ASSERT_EQ(rig.state.sharedTargetRate, 44100);

    rig.table.RemoveInput(1);
    EXPECT_EQ(rig.state.audioInputCount, 0);
    EXPECT_EQ(rig.state.sharedTargetRate, 0);
    EXPECT_FALSE(rig.state.sharedAudioBuffer.has_value());
}

} // namespace
} // namespace discforge
