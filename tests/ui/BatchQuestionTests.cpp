// Starting a batch in the window: one question before files that exist are
// replaced, listing them all, and a word when the batch is done with the
// outputs' names and sizes.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "ui/TMainWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace discforge::test {
namespace {

class BatchQuestions : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"one.lst", "two.lst"}) {
            rig_.files.mediaAnswers.push_back(rig_.MakeList(name, 2));
            ASSERT_TRUE(rig_.Command(command::addInput));
        }
        rig_.Settle();
        ASSERT_EQ(rig_.Core().Inputs().inputCount, 2);
        rig_.messages.shown.clear();
    }
    void Start()
    {
        rig_.Command(control::startConversion);
        rig_.Settle();
    }
    int Makes()
    {
        const std::vector<std::string> calls = rig_.fake.Calls();
        return static_cast<int>(
            std::count_if(calls.begin(), calls.end(), [](const std::string& call) { return call.rfind("make ", 0) == 0; }));
    }
    std::string Output(int index) { return rig_.Core().Inputs().inputTable[static_cast<std::size_t>(index)].outputPath; }

    WindowRig rig_;
};

TEST_F(BatchQuestions, NewFilesAreWrittenWithoutAQuestionAndTheEndIsTold)
{
    Start();
    EXPECT_TRUE(rig_.messages.asked.empty());
    EXPECT_EQ(Makes(), 2);
    ASSERT_EQ(rig_.messages.shown.size(), 1u);
    // The stand-in encoder writes no file: the word says so of each output.
    EXPECT_EQ(rig_.messages.shown[0].text,
        "The conversion is done:\n" + Output(0) + ": not written\n" + Output(1) + ": not written");
    EXPECT_EQ(rig_.messages.shown[0].caption, "Ferrowick Discforge - conversion done");
}

TEST_F(BatchQuestions, ExistingFilesAreListedInOneQuestionAndNoKeepsThem)
{
    std::ofstream(Output(1), std::ios::binary) << std::string(3000, 'x');
    rig_.messages.answerYes = false;
    Start();
    ASSERT_EQ(rig_.messages.asked.size(), 1u);
    EXPECT_EQ(rig_.messages.asked[0].text,
        "These files exist already and will be replaced:\n" + Output(1) + "\n\nReplace them?");
    EXPECT_EQ(Makes(), 0) << "nothing is converted";
    EXPECT_TRUE(rig_.messages.shown.empty());

    std::ofstream(Output(0), std::ios::binary) << std::string(10, 'x');
    rig_.messages.answerYes = true;
    Start();
    ASSERT_EQ(rig_.messages.asked.size(), 2u);
    EXPECT_EQ(rig_.messages.asked[1].text,
        "These files exist already and will be replaced:\n" + Output(0) + "\n" + Output(1) + "\n\nReplace them?")
        << "once for the batch, every file in it";
    EXPECT_EQ(Makes(), 2);
    ASSERT_EQ(rig_.messages.shown.size(), 1u);
    EXPECT_EQ(rig_.messages.shown[0].text,
        "The conversion is done:\n" + Output(0) + ": 10 bytes\n" + Output(1) + ": 2.9 KB");
}

TEST_F(BatchQuestions, AnUnattendedBatchThatSwitchesTheComputerOffEndsWithoutABox)
{
    rig_.Window().Controls().SetChecked(control::shutdownCheck, true);
    rig_.Command(control::shutdownCheck);
    Start();
    EXPECT_EQ(Makes(), 2);
    EXPECT_TRUE(rig_.messages.shown.empty());
}

} // namespace
} // namespace discforge::test
