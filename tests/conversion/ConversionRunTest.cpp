#include "ConversionRig.h"

#include "app/ConversionRun.h"
#include "input/InputRecord.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace discforge::test {
namespace {

TEST(LastOutputFrame, FollowsTheRateOfTheStandard)
{
    EXPECT_EQ(LastOutputFrame(250, 25.0, standardNtsc), 298);
    EXPECT_EQ(LastOutputFrame(100, 29.97, standardPal), 82);
    EXPECT_EQ(LastOutputFrame(250, 25.0, standardPal), 249);
    EXPECT_EQ(LastOutputFrame(10, 1.0, standardPal), 249);
}

class ConversionRunTest : public ::testing::Test {
protected:
    void AddThreeLists()
    {
        ASSERT_TRUE(rig_.AddInput(SampleList(3, 64, 48)));
        ASSERT_TRUE(rig_.AddInput(SampleList(4, 64, 48)));
        ASSERT_TRUE(rig_.AddInput(SampleList(5, 64, 48)));
    }

    ConversionRig rig_;
    ConversionRun run_{rig_.core};
};

TEST_F(ConversionRunTest, EveryInputIsEncodedInTableOrderWithItsParameters)
{
    AddThreeLists();
    rig_.core.settings.maxFileSizeMB = 600;
    run_.StartConversion();

    const std::vector<std::string> makes = rig_.MakeCalls();
    ASSERT_EQ(makes.size(), 3u);
    // Lists run at one picture per second; without sound the encoder is asked for 16 samples.
    EXPECT_EQ(makes[0], "make " + rig_.Entry(0).outputPath + " 352x240 last 88 rate 44100 lastSample 16 split 0");
    EXPECT_EQ(makes[1], "make " + rig_.Entry(1).outputPath + " 352x240 last 118 rate 44100 lastSample 16 split 0");
    EXPECT_EQ(makes[2], "make " + rig_.Entry(2).outputPath + " 352x240 last 148 rate 44100 lastSample 16 split 0");
    EXPECT_TRUE(run_.LastEncodeCompleted());
    EXPECT_EQ(run_.InputsEncoded(), 3);
    EXPECT_FALSE(rig_.core.media.run.conversionActive);
    EXPECT_FALSE(rig_.core.media.run.encoderBusy);
    EXPECT_EQ(rig_.power.powerOffs, 0);
}

TEST_F(ConversionRunTest, AFailedEncodeStopsTheBatchBeforeTheNextInputAndNeverShutsDown)
{
    AddThreeLists();
    rig_.core.settings.shutdownWhenDone = true;
    rig_.fake.FailMake(2, ENCODE_CANCELLED);
    run_.StartConversion();

    const std::vector<std::string> makes = rig_.MakeCalls();
    ASSERT_EQ(makes.size(), 2u);
    EXPECT_NE(makes[1].find(rig_.Entry(1).outputPath), std::string::npos);
    EXPECT_FALSE(run_.LastEncodeCompleted());
    EXPECT_EQ(rig_.power.powerOffs, 0);
}

TEST_F(ConversionRunTest, AWholeBatchShutsDownWhenAsked)
{
    AddThreeLists();
    rig_.core.settings.shutdownWhenDone = true;
    run_.StartConversion();
    EXPECT_EQ(rig_.power.powerOffs, 1);
}

TEST_F(ConversionRunTest, WithoutBatchModeNothingIsEncodedAndNothingShutsDown)
{
    AddThreeLists();
    rig_.core.settings.batchMode = false;
    rig_.core.settings.shutdownWhenDone = true;
    run_.StartConversion();
    EXPECT_TRUE(rig_.MakeCalls().empty());
    EXPECT_EQ(rig_.power.powerOffs, 0);
}

TEST_F(ConversionRunTest, SplittingGivesTheSizeOnlyWhenSwitchedOn)
{
    ASSERT_TRUE(rig_.AddInput(SampleList(3, 64, 48)));
    rig_.core.settings.maxFileSizeMB = 650;
    run_.StartConversion();
    rig_.core.settings.splitOutput = true;
    run_.StartConversion();
    const std::vector<std::string> makes = rig_.MakeCalls();
    ASSERT_EQ(makes.size(), 2u);
    EXPECT_NE(makes[0].find(" split 0"), std::string::npos);
    EXPECT_NE(makes[1].find(" split 650"), std::string::npos);
}

TEST_F(ConversionRunTest, ThePreviousInputAndPositionComeBackAfterTheRun)
{
    AddThreeLists();
    rig_.core.inputTable.ActivateInput(1);
    rig_.core.inputs.currentInput = 1;
    rig_.core.inputs.framePosition = 2;
    run_.StartConversion();
    EXPECT_EQ(rig_.core.inputs.currentInput, 1);
    EXPECT_EQ(rig_.core.inputs.framePosition, 2);
    EXPECT_TRUE(rig_.Entry(1).listFile.IsOpen());
    EXPECT_FALSE(rig_.Entry(2).listFile.IsOpen());
}

TEST_F(ConversionRunTest, TheUsersInvertChoiceSurvivesTheActivation)
{
    AddThreeLists();
    rig_.Entry(0).pictureOptions.invert = true;
    rig_.Entry(2).pictureOptions.invert = true;
    run_.StartConversion();
    EXPECT_TRUE(rig_.Entry(0).pictureOptions.invert);
    EXPECT_FALSE(rig_.Entry(1).pictureOptions.invert);
    EXPECT_TRUE(rig_.Entry(2).pictureOptions.invert);
}

TEST_F(ConversionRunTest, TheEncoderGetsItsPictureSizeWhileEveryInputKeepsItsOwn)
{
    // Two inputs of different sizes, the first opened for VCD, the second after a
    // change to DVD; the second has a size the user typed.
    ASSERT_TRUE(rig_.AddInput(SampleList(3, 64, 48)));
    ASSERT_TRUE(rig_.core.settingsController.ChooseFormat(formatDvd));
    ASSERT_TRUE(rig_.AddInput(SampleList(4, 96, 72)));
    rig_.Entry(1).pictureOptions.outputWidth = 320;
    rig_.Entry(1).pictureOptions.outputHeight = 240;
    rig_.fake.PullFirstFrame();
    run_.StartConversion();

    const std::vector<std::string> calls = rig_.MakeCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_NE(calls[0].find(" 720x480 "), std::string::npos) << calls[0];
    EXPECT_EQ(calls[1], "frame 0 rowBytes 2880");
    EXPECT_NE(calls[2].find(" 720x480 "), std::string::npos) << calls[2];
    EXPECT_EQ(calls[3], "frame 0 rowBytes 2880");
    // The encoder reads 480 rows of the picture it was handed.
    EXPECT_EQ(rig_.core.workPicture.Width(), 720);
    EXPECT_EQ(rig_.core.workPicture.Height(), 480);

    // What the previews and a saved project see afterwards is what the user had.
    EXPECT_EQ(rig_.Entry(0).pictureOptions.outputWidth, 64);
    EXPECT_EQ(rig_.Entry(0).pictureOptions.outputHeight, 48);
    EXPECT_EQ(rig_.Entry(1).pictureOptions.outputWidth, 320);
    EXPECT_EQ(rig_.Entry(1).pictureOptions.outputHeight, 240);
    const InputRecord saved = EncodeInputRecord(rig_.Entry(1));
    EXPECT_EQ(saved[1040] | saved[1041] << 8, 320);
    EXPECT_EQ(saved[1044] | saved[1045] << 8, 240);
    ASSERT_EQ(rig_.core.inputs.currentInput, 1);
    std::int32_t rowBytes = 0;
    const std::uint8_t* pixels = nullptr;
    ASSERT_EQ(rig_.core.videoSupply.SupplyVideoFrame(0, &rowBytes, &pixels), 0);
    EXPECT_EQ(rowBytes, 320 * 4);
}

TEST_F(ConversionRunTest, ARefusedFormatCodeShowsTheMessageAndAsksToClose)
{
    AddThreeLists();
    rig_.fake.SetInitResult(5);
    run_.StartConversion();
    ASSERT_EQ(rig_.messages.shown.size(), 1u);
    EXPECT_EQ(rig_.messages.shown[0].text, "Can not initialize convert.dll.");
    EXPECT_EQ(rig_.window.closeRequests, 1);
    EXPECT_TRUE(rig_.MakeCalls().empty());
    EXPECT_FALSE(rig_.core.media.run.conversionActive);
}

} // namespace
} // namespace discforge::test

namespace discforge::test {
namespace {

// The run log's lines about conversions, with the seconds taken out (they vary).
std::vector<std::string> ConversionLines(const RunLog& log)
{
    std::vector<std::string> lines;
    const std::regex record("^(Converted .*) in [0-9]+\\.[0-9] s$");
    std::istringstream text(log.Text());
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::smatch match;
        if (std::regex_match(line, match, record)) {
            lines.push_back(match[1]);
        }
    }
    return lines;
}

TEST(ConversionRunLog, EachEncodeIsRecordedWithInputOutputOutcomeAndTime)
{
    ConversionRig rig;
    ASSERT_TRUE(rig.AddInput(SampleList(3, 64, 48)));
    ASSERT_TRUE(rig.AddInput(SampleList(4, 64, 48)));
    ASSERT_TRUE(rig.AddInput(SampleList(5, 64, 48)));
    rig.fake.FailMake(2, ENCODE_OUTPUT_FAILED);
    ConversionRun run{rig.core};
    run.StartConversion();
    EXPECT_EQ(ConversionLines(rig.core.runLog),
        (std::vector<std::string>{
            "Converted " + rig.Entry(0).path + " to " + rig.Entry(0).outputPath + ": completed (encoder result 31)",
            "Converted " + rig.Entry(1).path + " to " + rig.Entry(1).outputPath + ": failed (encoder result 35)"}))
        << rig.core.runLog.Text();
}

} // namespace
} // namespace discforge::test
