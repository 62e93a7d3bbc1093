// The converter as the window and the command line drive it: its operations
// reach the settings, the inputs and the run, and its views show the result.
#include "ConversionRig.h"

#include "app/AppCore.h"
#include "app/EncoderCallbacks.h"
#include "support/HeadlessAppPorts.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace discforge::test {
namespace {

class AppCoreTest : public ::testing::Test {
protected:
    // The run log goes into the test's folder, not the user's.
    void SetUp() override { setenv("XDG_STATE_HOME", state_.Path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_STATE_HOME"); }

    TestFolder state_;
    test::HeadlessAppPorts ports_;
    FakeEncoder fake_{"full"};
    AppCore core_{ports_.Ports()};
};

std::vector<std::string> Makes(const FakeEncoder& fake)
{
    std::vector<std::string> makes;
    for (const std::string& call : fake.Calls()) {
        if (call.rfind("make", 0) == 0) {
            makes.push_back(call);
        }
    }
    return makes;
}

TEST_F(AppCoreTest, ChoicesMadeThroughTheOperationsReachTheEncoder)
{
    ASSERT_TRUE(core_.Start(fake_.Path(), {SupplyVideoFrame, SupplyAudio}));
    EXPECT_EQ(core_.Log().Text().rfind("Ferrowick Discforge - v3.60\r\n", 0), 0u);
    ASSERT_TRUE(core_.OpenInput(SampleList(2, 64, 48)));
    ASSERT_TRUE(core_.OpenInput(SampleList(3, 64, 48)));
    core_.ChooseOutputFile("/discs/second.mpg");
    ASSERT_TRUE(core_.ChooseStandard(standardPal));
    ASSERT_TRUE(core_.ChooseFormat(formatDvd));
    core_.TakeFormatPictureSize();
    core_.SetSplitSize(700);
    PictureOptions fill = core_.Inputs().inputTable[1].pictureOptions;
    fill.fitting = FitMode::fillIn;
    core_.SetPictureOptions(1, fill);
    core_.SetPictureOptions(2, fill); // no such input: nothing happens

    core_.StartConversion();
    const std::vector<std::string> makes = Makes(fake_);
    ASSERT_EQ(makes.size(), 2u);
    EXPECT_NE(makes[0].find(" 720x576 last 49 rate 48000 lastSample 16 split 700"), std::string::npos) << makes[0];
    EXPECT_EQ(makes[1].rfind("make /discs/second.mpg 720x576 last 74 ", 0), 0u) << makes[1];
    EXPECT_TRUE(core_.LastEncodeCompleted());
    EXPECT_EQ(core_.InputsEncoded(), 2);
    EXPECT_EQ(core_.Inputs().inputTable[1].pictureOptions.fitting, FitMode::fillIn);
    EXPECT_EQ(core_.Inputs().inputTable[0].pictureOptions.fitting, FitMode::proportional);
    EXPECT_EQ(core_.Settings().maxFileSizeMB, 700);

    core_.SetSplitSize(0);
    EXPECT_FALSE(core_.Settings().splitOutput);
    EXPECT_EQ(core_.Settings().maxFileSizeMB, 700) << "the last size stays for the next time splitting is on";
}

TEST_F(AppCoreTest, CheckLogWritesTheLogAndHandsItToTheDesktop)
{
    ASSERT_TRUE(core_.Start(fake_.Path(), {SupplyVideoFrame, SupplyAudio}));
    core_.CheckLog();
    ASSERT_EQ(ports_.shell.openedDocuments.size(), 1u);
    EXPECT_EQ(ports_.shell.openedDocuments[0], state_.File("ferrowick-discforge/avi_log.txt"));
    EXPECT_NE(core_.Log().Text().find("****************************************\r\n"), std::string::npos);
}

} // namespace
} // namespace discforge::test
