// A run with a disc size: a batch beyond the disc is refused before the encoder is
// asked for anything, and a library without the extension channel stops the batch
// rather than writing streams that were never planned.
#include "ConversionRig.h"

#include "app/ConversionRun.h"

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

class DiscPlanRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        // About 3, 4 and 5 s of pictures at the NTSC rate.
        ASSERT_TRUE(rig_.AddInput(SampleList(3, 64, 48)));
        ASSERT_TRUE(rig_.AddInput(SampleList(4, 64, 48)));
        ASSERT_TRUE(rig_.AddInput(SampleList(5, 64, 48)));
    }

    ConversionRig rig_;
    ConversionRun run_{rig_.core};
};

TEST_F(DiscPlanRun, ABatchBeyondItsDiscIsRefusedBeforeAnyEncode)
{
    rig_.core.settings.discSize = DiscSize{DiscSizeKind::megabytes, 1};
    run_.StartConversion();
    EXPECT_TRUE(rig_.MakeCalls().empty());
    EXPECT_EQ(run_.InputsEncoded(), 0);
    EXPECT_FALSE(rig_.core.media.run.conversionActive);
    ASSERT_EQ(rig_.messages.shown.size(), 1u);
    // Twelve seconds of VCD take 75 sectors of 2324 bytes each second: 2 MB.
    EXPECT_EQ(rig_.messages.shown[0].text, "at most 0 minutes on 1 MB at this quality; the batch has 1");
    EXPECT_EQ(rig_.messages.shown[0].caption, "Disc size");
}

TEST_F(DiscPlanRun, ALibraryWithoutThePlanChannelStopsTheBatch)
{
    rig_.core.settings.discSize = DiscSize{DiscSizeKind::cd80, 0};
    run_.StartConversion();
    EXPECT_TRUE(rig_.MakeCalls().empty());
    EXPECT_FALSE(run_.BatchCompleted());
    ASSERT_EQ(rig_.messages.shown.size(), 1u);
    EXPECT_NE(rig_.messages.shown[0].text.find("does not take a planned bit rate"), std::string::npos);
}

TEST_F(DiscPlanRun, WithoutADiscSizeTheBatchRunsAsBefore)
{
    run_.StartConversion();
    EXPECT_EQ(rig_.MakeCalls().size(), 3u);
    EXPECT_TRUE(rig_.messages.shown.empty());
}

} // namespace
} // namespace discforge::test
