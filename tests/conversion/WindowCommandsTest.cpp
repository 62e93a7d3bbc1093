// The window's commands as AppCore decides them, without a window: what a
// running conversion or a playing preview refuses, closing and Exit, the
// selection, and the enabling rules as data.
#include "ConversionRig.h"

#include "app/AppCore.h"
#include "app/ControlEnabling.h"
#include "app/EncoderCallbacks.h"
#include "app/OptionControls.h"
#include "core/ControlIds.h"
#include "support/HeadlessAppPorts.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

TEST(LeadingInteger, ReadsWhatPercentDReads)
{
    EXPECT_EQ(LeadingInteger("720px"), 720);
    EXPECT_EQ(LeadingInteger("  -5"), -5);
    EXPECT_EQ(LeadingInteger("+12 13"), 12);
    EXPECT_EQ(LeadingInteger("2147483647"), 2147483647);
    EXPECT_EQ(LeadingInteger("-2147483648"), -2147483647 - 1);
    EXPECT_FALSE(LeadingInteger("2147483648"));
    EXPECT_FALSE(LeadingInteger("px720"));
    EXPECT_FALSE(LeadingInteger(""));
    EXPECT_FALSE(LeadingInteger("-"));
}

TEST(ControlEnabling, EachStateAsTheRulesSay)
{
    const WindowState empty{};
    const WindowState inputs{2, PlayingSide::none, false, false};
    const WindowState playingInput{2, PlayingSide::input, false, false};
    const WindowState converting{2, PlayingSide::none, true, true};
    EXPECT_FALSE(ControlEnabled(control::startConversion, empty));
    EXPECT_TRUE(ControlEnabled(control::startConversion, inputs));
    EXPECT_FALSE(ControlEnabled(control::startConversion, playingInput));
    EXPECT_FALSE(ControlEnabled(control::startConversion, converting));
    EXPECT_TRUE(ControlEnabled(control::inputPlay, playingInput));
    EXPECT_FALSE(ControlEnabled(control::outputPlay, playingInput));
    EXPECT_TRUE(ControlEnabled(control::openInput, empty));
    EXPECT_FALSE(ControlEnabled(control::openInput, converting));
    EXPECT_TRUE(ControlEnabled(control::exitButton, converting));
    EXPECT_FALSE(ControlEnabled(control::exitButton, playingInput));
    EXPECT_FALSE(ControlEnabled(control::maxSizeEdit, inputs)) << "splitting is off";
    EXPECT_FALSE(ControlEnabled(control::maxSizeEdit, converting)) << "on, but the run reads it";
    EXPECT_TRUE(ControlEnabled(control::maxSizeEdit, {0, PlayingSide::none, false, true}));
    EXPECT_TRUE(ControlEnabled(control::vcdRadio, playingInput));
    EXPECT_FALSE(ControlEnabled(control::vcdRadio, converting));
}

class WindowCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("XDG_STATE_HOME", state_.Path().c_str(), 1);
        ASSERT_TRUE(core_.Start(fake_.Path(), {SupplyVideoFrame, SupplyAudio}));
        ASSERT_TRUE(core_.AddInput(SampleList(2, 64, 48)));
        ASSERT_TRUE(core_.AddInput(SampleList(3, 64, 48)));
    }
    void TearDown() override { unsetenv("XDG_STATE_HOME"); }
    // Runs `during` at the first event pumped while the conversion runs.
    void WhileConverting(const std::function<void()>& during)
    {
        fake_.PullFirstFrame();
        bool ran = false;
        ports_.window.onPump = [&] {
            if (!ran && core_.IsConverting()) {
                ran = true;
                during();
            }
        };
        core_.StartConversion();
        ports_.window.onPump = nullptr;
        ASSERT_TRUE(ran);
    }
    int Makes() const
    {
        const std::vector<std::string> calls = fake_.Calls();
        return static_cast<int>(std::count_if(
            calls.begin(), calls.end(), [](const std::string& call) { return call.rfind("make", 0) == 0; }));
    }

    TestFolder state_;
    HeadlessAppPorts ports_;
    FakeEncoder fake_{"full"};
    AppCore core_{ports_.Ports()};
};

TEST_F(WindowCommands, ARunRefusesWhatWouldChangeItsInputsAndSettings)
{
    WhileConverting([&] {
        EXPECT_FALSE(core_.RemoveSelectedInput());
        EXPECT_FALSE(core_.MoveSelectedInputUp());
        EXPECT_FALSE(core_.SelectInput(0));
        EXPECT_FALSE(core_.AddInput(SampleList(4, 64, 48)));
        EXPECT_FALSE(core_.OpenMediaFile(SampleList(4, 64, 48)));
        ports_.controls.SetChecked(control::dvdRadio, true);
        EXPECT_FALSE(core_.FormatRadioClicked(formatDvd));
        EXPECT_FALSE(core_.StandardRadioClicked(standardPal));
        EXPECT_FALSE(core_.SplitClicked());
        EXPECT_FALSE(core_.OutputNameFieldLeft());
        EXPECT_FALSE(core_.EnterKey()) << "a start posted now would convert everything again";
        core_.StartConversion();
    });
    EXPECT_EQ(core_.Inputs().inputCount, 2);
    EXPECT_EQ(core_.Settings().outputFormat, formatVcd);
    EXPECT_FALSE(ports_.controls.IsChecked(control::dvdRadio));
    EXPECT_EQ(Makes(), 2);
    EXPECT_TRUE(core_.EnterKey());
}

TEST_F(WindowCommands, ClosingDuringARunAsksOnceAndCancelsTheRestOfTheBatch)
{
    ports_.messages.answerYes = true;
    WhileConverting([&] {
        EXPECT_FALSE(core_.QueryClose());
        EXPECT_FALSE(core_.QueryClose()) << "asked once; the run is ending";
    });
    EXPECT_EQ(ports_.messages.asked.size(), 1u);
    EXPECT_EQ(Makes(), 1);
    EXPECT_EQ(ports_.window.closeRequests, 1) << "the close comes again once the run has ended";
    EXPECT_TRUE(core_.QueryClose());
}

TEST_F(WindowCommands, ClosingDuringARunAndAnsweringNoChangesNothing)
{
    ports_.messages.answerYes = false;
    WhileConverting([&] { EXPECT_FALSE(core_.QueryClose()); });
    EXPECT_EQ(Makes(), 2);
    EXPECT_EQ(ports_.window.closeRequests, 0);
    EXPECT_TRUE(core_.LastEncodeCompleted());
}

TEST_F(WindowCommands, APlayingPreviewIsAskedToStopByCloseExitAndEnter)
{
    core_.BeginPlayback(PlayingSide::output);
    EXPECT_FALSE(core_.QueryClose());
    EXPECT_TRUE(core_.Preview().playbackStopRequest);
    core_.BeginPlayback(PlayingSide::output);
    EXPECT_FALSE(core_.ExitCommand());
    EXPECT_TRUE(core_.Preview().playbackStopRequest);
    core_.BeginPlayback(PlayingSide::output);
    EXPECT_FALSE(core_.EnterKey());
    EXPECT_TRUE(core_.Preview().playbackStopRequest);
    EXPECT_FALSE(core_.RemoveSelectedInput());
    core_.EndPlayback();
    EXPECT_TRUE(core_.ExitCommand());
    EXPECT_TRUE(core_.QueryClose());
}

TEST_F(WindowCommands, SelectingAnInputMakesItCurrentInBatchModeAndAgainDoesNothing)
{
    ASSERT_EQ(core_.Inputs().selectedInput, 1);
    EXPECT_TRUE(core_.SelectInput(0));
    EXPECT_EQ(core_.Inputs().selectedInput, 0);
    EXPECT_EQ(core_.Inputs().currentInput, 0);
    const std::size_t logSize = core_.Log().Text().size();
    EXPECT_TRUE(core_.SelectInput(0));
    EXPECT_EQ(core_.Log().Text().size(), logSize) << "the same line again is no new selection";
}

} // namespace
} // namespace discforge::test
