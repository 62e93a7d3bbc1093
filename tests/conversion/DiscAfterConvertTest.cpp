// The window's disc: made after a batch whose every input converted (never
// after a failure or a cancel), from the streams that were written, with a
// progress window whose Cancel stops the tool and leaves nothing, and the
// tools' troubles told in a message box while the streams stay.
#include "ConversionRig.h"
#include "SampleMedia.h"

#include "app/AppCore.h"
#include "app/EncoderCallbacks.h"
#include "core/ControlIds.h"
#include "support/HeadlessAppPorts.h"
#include "support/StandInTool.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace discforge::test {
namespace {

namespace fs = std::filesystem;

bool WorkLeft(const std::string& folder)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().filename().string().rfind(".discforge-authoring", 0) == 0) {
            return true;
        }
    }
    return false;
}

int Occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

class DiscAfterConvert : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("XDG_STATE_HOME", folder_.File("state").c_str(), 1);
        ASSERT_TRUE(core_.Start(fake_.Path(), {SupplyVideoFrame, SupplyAudio}));
        ASSERT_TRUE(core_.ChooseFormat(formatDvd));
        // The stand-in tools here make no menu; the menu has tests of its own.
        ASSERT_TRUE(core_.ChooseDiscMenu(false, ""));
        ASSERT_TRUE(core_.OpenInput(SampleList(2, 64, 48)));
        core_.ChooseOutputFile(first_);
        ASSERT_TRUE(core_.OpenInput(SampleList(3, 64, 48)));
        core_.ChooseOutputFile(second_);
    }
    void TearDown() override { unsetenv("XDG_STATE_HOME"); }

    // The stand-in encoder writes nothing; the streams are put there as if it had.
    void WriteStreams()
    {
        std::ofstream(first_) << "first stream";
        std::ofstream(second_) << "second stream";
    }
    bool LogHas(const std::string& text) const { return core_.Log().Text().find(text) != std::string::npos; }

    TestFolder folder_;
    const std::string first_ = folder_.File("first.mpg");
    const std::string second_ = folder_.File("second.mpg");
    const std::string disc_ = folder_.File("disc");
    HeadlessAppPorts ports_;
    FakeEncoder fake_{"full"};
    AppCore core_{ports_.Ports()};
};

TEST_F(DiscAfterConvert, IsMadeOnlyOnceEveryInputOfTheBatchHasConverted)
{
    const StandInTool tool(folder_.File("tools"), "dvdauthor", standInDvdauthor);
    core_.SetDiscAfterConverting(true, disc_);
    WriteStreams();

    fake_.FailMake(2, ENCODE_OUTPUT_FAILED);
    core_.StartConversion();
    EXPECT_FALSE(fs::exists(disc_ + "/VIDEO_TS")) << "a failed second input makes no disc";
    EXPECT_FALSE(LogHas("stand-in dvdauthor"));

    // The stand-in counts its encodes over the runs: the third is the next run's first.
    fake_.FailMake(3, ENCODE_CANCELLED);
    core_.StartConversion();
    EXPECT_FALSE(fs::exists(disc_ + "/VIDEO_TS")) << "a cancelled batch makes no disc";

    fake_.FailMake(0, ENCODE_COMPLETED);
    const std::size_t shownBefore = ports_.messages.shown.size();
    core_.StartConversion();
    EXPECT_TRUE(fs::is_directory(disc_ + "/VIDEO_TS"));
    EXPECT_TRUE(LogHas("    stand-in dvdauthor wrote the disc"));
    EXPECT_TRUE(LogHas("The disc was written into " + disc_ + "."));
    EXPECT_EQ(ports_.messages.shown.size(), shownBefore);
    ASSERT_FALSE(ports_.host.dialogs.empty());
    const CancelDialogRecord& progress = ports_.host.dialogs.back();
    EXPECT_EQ(progress.caption, "Ferrowick Discforge - Making the disc");
    EXPECT_EQ(progress.upperText, "Making the disc in " + disc_);
    EXPECT_EQ(progress.closeCount, 1);
    EXPECT_TRUE(progress.destroyed);
    EXPECT_TRUE(ports_.host.mainWindowEnabled);
    EXPECT_TRUE(fs::exists(first_) && fs::exists(second_)) << "the streams stay";
}

// Closing the window while the second clip opens cancels the run between two
// encodes: the first completed, yet the batch did not.
TEST(DiscAfterACancel, BetweenTwoEncodesNoDiscIsMadeAndTheMachineStaysOn)
{
    TestFolder folder;
    setenv("XDG_STATE_HOME", folder.File("state").c_str(), 1);
    HeadlessAppPorts ports;
    FakeEncoder fake{"full"};
    AppCore core{ports.Ports()};
    ASSERT_TRUE(core.Start(fake.Path(), {SupplyVideoFrame, SupplyAudio}));
    mediagen::AviRecipe recipe;
    recipe.frames = 5;
    ASSERT_TRUE(core.OpenInput(SampleAvi(recipe)));
    core.ChooseOutputFile(folder.File("first.mpg"));
    recipe.frames = 6;
    ASSERT_TRUE(core.OpenInput(SampleAvi(recipe)));
    core.ChooseOutputFile(folder.File("second.mpg"));
    std::ofstream(folder.File("first.mpg")) << "first stream";
    const StandInTool tool(folder.File("tools"), "dvdauthor", standInDvdauthor);
    core.SetDiscAfterConverting(true, folder.File("disc"));
    core.SetShutdownWhenDone(true);
    bool closed = false;
    ports.window.onPump = [&] {
        const std::vector<std::string> calls = fake.Calls();
        const bool firstEncoded = std::count_if(calls.begin(), calls.end(), [](const std::string& call) {
            return call.rfind("make", 0) == 0;
        }) == 1;
        if (firstEncoded && core.IsConverting() && !closed) {
            closed = true;
            EXPECT_FALSE(core.QueryClose());
        }
    };

    core.StartConversion();
    unsetenv("XDG_STATE_HOME");
    ASSERT_TRUE(closed) << "the second open pumped no events";
    EXPECT_EQ(core.InputsEncoded(), 1);
    EXPECT_FALSE(fs::exists(folder.File("disc/VIDEO_TS")));
    EXPECT_EQ(ports.power.powerOffs, 0);
    EXPECT_EQ(ports.window.closeRequests, 1);
}

TEST_F(DiscAfterConvert, IsNotMadeWithTheBoxClear)
{
    const StandInTool tool(folder_.File("tools"), "dvdauthor", standInDvdauthor);
    WriteStreams();
    core_.StartConversion();
    EXPECT_FALSE(fs::exists(disc_));
    EXPECT_TRUE(ports_.host.dialogs.empty());
}

TEST_F(DiscAfterConvert, TickingTheBoxAsksForAFolderOnlyWhileThereIsNone)
{
    int asked = 0;
    std::optional<std::string> answer;
    const FolderQuestion ask = [&] {
        ++asked;
        return answer;
    };
    ports_.controls.SetChecked(control::discCheck, true);
    core_.DiscCheckClicked(ask);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(core_.Settings().discAfterConverting) << "no folder, no disc";
    EXPECT_FALSE(ports_.controls.IsChecked(control::discCheck));

    answer = disc_;
    ports_.controls.SetChecked(control::discCheck, true);
    core_.DiscCheckClicked(ask);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(core_.Settings().discAfterConverting);
    EXPECT_TRUE(ports_.controls.IsChecked(control::discCheck));
    EXPECT_EQ(core_.Settings().discFolder, disc_);

    ports_.controls.SetChecked(control::discCheck, false);
    core_.DiscCheckClicked(ask);
    ports_.controls.SetChecked(control::discCheck, true);
    core_.DiscCheckClicked(ask);
    EXPECT_EQ(asked, 2) << "the folder chosen before is kept";
    EXPECT_TRUE(core_.Settings().discAfterConverting);

    answer.reset();
    core_.ChooseDiscFolder(ask);
    EXPECT_EQ(core_.Settings().discFolder, disc_) << "a declined question keeps the folder";

    core_.SetDiscAfterConverting(true, "");
    EXPECT_FALSE(core_.Settings().discAfterConverting) << "a profile without a folder cannot tick the box";
    EXPECT_FALSE(ports_.controls.IsChecked(control::discCheck));
}

TEST_F(DiscAfterConvert, TheMenuCommandAuthorsTheStreamsThatWereWritten)
{
    EXPECT_FALSE(core_.CanAuthorDisc()) << "nothing converted yet";
    EXPECT_FALSE(core_.AuthorDiscInto(disc_));
    std::ofstream(second_) << "second stream";
    EXPECT_TRUE(core_.CanAuthorDisc());

    const StandInTool tool(folder_.File("tools"), "dvdauthor", "cat \"$2\"\n" + std::string(standInDvdauthor));
    EXPECT_TRUE(core_.AuthorDiscInto(disc_));
    EXPECT_TRUE(LogHas("vob file=\"" + second_ + "\""));
    EXPECT_FALSE(LogHas(first_)) << "an output never written is left out";
    EXPECT_TRUE(fs::is_directory(disc_ + "/VIDEO_TS"));
}

TEST_F(DiscAfterConvert, ASplitOutputGoesOnTheDiscAsOneTitleOfItsPartsInOrder)
{
    // The encoder split the first output in three and wrote the second whole.
    const std::vector<std::string> parts{
        folder_.File("first_01.mpg"), folder_.File("first_02.mpg"), folder_.File("first_03.mpg")};
    for (const std::string& part : parts) {
        std::ofstream(part) << part;
    }
    std::ofstream(second_) << "second stream";
    EXPECT_EQ(core_.ConvertedStreams(), (std::vector<StreamParts>{parts, {second_}}));
    ASSERT_TRUE(core_.CanAuthorDisc());

    const StandInTool tool(folder_.File("tools"), "dvdauthor", "cat \"$2\"\n" + std::string(standInDvdauthor));
    EXPECT_TRUE(core_.AuthorDiscInto(disc_));
    const std::string log = core_.Log().Text();
    // The stand-in's project file, from the first title to the end of the second.
    std::size_t at = 0;
    for (const std::string& expected : std::vector<std::string>{"<pgc>", "<vob file=\"" + parts[0] + "\"",
             "<vob file=\"" + parts[1] + "\"", "<vob file=\"" + parts[2] + "\"", "<post>jump title 2;</post>", "</pgc>",
             "<pgc>", "<vob file=\"" + second_ + "\"", "</pgc>", "</titles>"}) {
        at = log.find(expected, at);
        ASSERT_NE(at, std::string::npos) << "no " << expected << " in its place in\n" << log;
    }
    EXPECT_EQ(Occurrences(log, "<pgc>"), 2) << "a title per input";
    EXPECT_EQ(Occurrences(log, "<vob "), 4) << "a vob per part";
    EXPECT_EQ(ports_.host.dialogs.back().statuses.back(), "4 streams; Cancel removes what was written.");
}

TEST_F(DiscAfterConvert, ACancelInTheProgressWindowStopsTheToolAndLeavesNothing)
{
    const StandInTool tool(folder_.File("tools"), "dvdauthor", "mkdir -p disc/VIDEO_TS\necho started\nexec sleep 60\n");
    WriteStreams();
    // The user presses Cancel once the tool has been running for a few polls.
    ports_.window.onPump = [this] {
        if (ports_.window.pumps == 5 && ports_.host.lastDialog != nullptr) {
            ports_.host.lastDialog->Cancel();
        }
    };
    EXPECT_FALSE(core_.AuthorDiscInto(disc_));
    EXPECT_GE(ports_.window.pumps, 5);
    EXPECT_FALSE(core_.IsAuthoring());
    EXPECT_FALSE(fs::exists(disc_ + "/VIDEO_TS"));
    EXPECT_FALSE(WorkLeft(disc_));
    EXPECT_TRUE(LogHas("Making the disc was cancelled; nothing was kept."));
    EXPECT_TRUE(ports_.messages.shown.empty()) << "a cancel is no failure";
    EXPECT_TRUE(fs::exists(first_) && fs::exists(second_));
    EXPECT_TRUE(ports_.host.mainWindowEnabled);
}

TEST_F(DiscAfterConvert, ClosingTheWindowWhileTheDiscIsMadeStopsTheToolAndThenCloses)
{
    const StandInTool tool(folder_.File("tools"), "dvdauthor", "mkdir -p disc/VIDEO_TS\nexec sleep 60\n");
    WriteStreams();
    core_.SetDiscAfterConverting(true, disc_);
    ports_.window.onPump = [this] {
        if (core_.IsAuthoring() && ports_.window.closeRequests == 0) {
            EXPECT_FALSE(core_.QueryClose()) << "the window waits for the tool to stop";
        }
    };
    core_.StartConversion();
    EXPECT_FALSE(core_.IsAuthoring());
    EXPECT_EQ(ports_.window.closeRequests, 1);
    EXPECT_FALSE(fs::exists(disc_ + "/VIDEO_TS"));
    EXPECT_FALSE(WorkLeft(disc_));
    EXPECT_TRUE(core_.QueryClose());
}

TEST_F(DiscAfterConvert, AMissingOrFailingToolIsToldInAMessageBoxAndTheStreamsStay)
{
    WriteStreams();
    {
        const std::string saved = std::getenv("PATH");
        fs::create_directories(folder_.File("empty"));
        setenv("PATH", folder_.File("empty").c_str(), 1);
        EXPECT_FALSE(core_.AuthorDiscInto(disc_));
        setenv("PATH", saved.c_str(), 1);
    }
    ASSERT_EQ(ports_.messages.shown.size(), 1u);
    EXPECT_EQ(ports_.messages.shown[0].text,
        "Making the disc needs dvdauthor, which is not installed. Install the package dvdauthor.");
    EXPECT_EQ(ports_.messages.shown[0].caption, "Ferrowick Discforge - Disc authoring error");
    EXPECT_EQ(ports_.messages.shown[0].icon, MessageIcon::Error);

    const StandInTool tool(folder_.File("tools"), "dvdauthor", "echo ERR: no title set\nexit 3\n");
    EXPECT_FALSE(core_.AuthorDiscInto(disc_));
    ASSERT_EQ(ports_.messages.shown.size(), 2u);
    EXPECT_EQ(
        ports_.messages.shown[1].text, "dvdauthor failed with exit status 3. Its last lines:\nERR: no title set\n");
    EXPECT_FALSE(WorkLeft(disc_));
    EXPECT_FALSE(fs::exists(disc_ + "/VIDEO_TS"));
    EXPECT_TRUE(fs::exists(first_) && fs::exists(second_));
}

} // namespace
} // namespace discforge::test
