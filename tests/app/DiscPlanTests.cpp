#include "app/DiscPlan.h"

#include <gtest/gtest.h>

namespace discforge {
namespace {

const DiscFormat& Disc(int format) { return *FindDiscFormat(format, standardPal); }

constexpr DiscSize dvd5{DiscSizeKind::dvd5, 0};
constexpr DiscSize cd80{DiscSizeKind::cd80, 0};

TEST(DiscSize, CapacitiesOfTheStandardDiscsAndOfSizesInMegabytes)
{
    EXPECT_EQ(DiscCapacityBytes(dvd5), 4700372992);
    EXPECT_EQ(DiscCapacityBytes({DiscSizeKind::dvd9, 0}), 8543666176);
    // 74 or 80 minutes of 75 sectors a second, 2324 bytes of stream in each.
    EXPECT_EQ(DiscCapacityBytes({DiscSizeKind::cd74, 0}), 773892000);
    EXPECT_EQ(DiscCapacityBytes(cd80), 836640000);
    EXPECT_EQ(DiscCapacityBytes({DiscSizeKind::megabytes, 700}), 700000000);
}

TEST(DiscSize, ParsesTheNamesAndWholeMegabytesOnly)
{
    EXPECT_EQ(ParseDiscSize("dvd9"), (DiscSize{DiscSizeKind::dvd9, 0}));
    EXPECT_EQ(ParseDiscSize("cd74"), (DiscSize{DiscSizeKind::cd74, 0}));
    EXPECT_EQ(ParseDiscSize("12"), (DiscSize{DiscSizeKind::megabytes, 12}));
    EXPECT_EQ(ParseDiscSize("1000000"), (DiscSize{DiscSizeKind::megabytes, 1000000}));
    for (const char* bad : {"", "0", "1000001", "99999999", "-5", "4.7", "DVD5", "12MB", "dvd"}) {
        EXPECT_FALSE(ParseDiscSize(bad).has_value()) << bad;
    }
    EXPECT_EQ(DiscSizeName({DiscSizeKind::megabytes, 12}), "12 MB");
    EXPECT_EQ(DiscSizeName(cd80), "CD 80 min");
}

TEST(DiscPlan, OneLongFilmSharesTheWholeDvd)
{
    const DiscPlan plan = PlanDisc(Disc(formatDvd), dvd5, {{7200, 192000}});
    ASSERT_TRUE(plan.fits);
    EXPECT_EQ(plan.videoBitRate, 4914768);
    ASSERT_EQ(plan.plannedBytes.size(), 1u);
    EXPECT_EQ(plan.plannedBytes[0], 4700093858);
    EXPECT_LE(plan.totalBytes, 4700372992);
    EXPECT_GT(plan.totalBytes, 4700372992 - 1000);
}

TEST(DiscPlan, ManyShortInputsGetOneRateAndEachItsShareByLength)
{
    std::vector<PlanInput> inputs(40, PlanInput{180, 192000});
    inputs[0].seconds = 360;
    inputs.pop_back();
    const DiscPlan plan = PlanDisc(Disc(formatDvd), dvd5, inputs);
    ASSERT_TRUE(plan.fits);
    // Each input's authoring cells take a little of the room a single film would have.
    EXPECT_EQ(plan.videoBitRate, 4914084);
    ASSERT_EQ(plan.plannedBytes.size(), 39u);
    EXPECT_NEAR(static_cast<double>(plan.plannedBytes[0]) / static_cast<double>(plan.plannedBytes[1]), 2.0, 1e-6);
}

TEST(DiscPlan, AShortBatchStopsAtTheHighestAverageRate)
{
    const DiscPlan plan = PlanDisc(Disc(formatDvd), dvd5, {{3600, 192000}});
    ASSERT_TRUE(plan.fits);
    // Filling the disc would take 10.08 Mbit/s of video, beyond what the DVD's peaks leave.
    EXPECT_EQ(plan.videoBitRate, 8000000);
    EXPECT_LT(plan.totalBytes, 4000000000);
}

TEST(DiscPlan, SvcdBatchesAreSharedWithinTheirLimits)
{
    const DiscPlan plan = PlanDisc(Disc(formatSvcd), cd80, {{3600, 224000}});
    ASSERT_TRUE(plan.fits);
    EXPECT_EQ(plan.videoBitRate, 1604956);
    const DiscPlan shortOne = PlanDisc(Disc(formatSvcd), cd80, {{600, 224000}});
    ASSERT_TRUE(shortOne.fits);
    EXPECT_EQ(shortOne.videoBitRate, 2600000 - 224000);
}

TEST(DiscPlan, ABatchTooLongForTheFullWidthTakesTheHalfWidthFrame)
{
    // 300 minutes fill a DVD-5 at 1.82 Mbit/s, below the full width's 2.5.
    const DiscPlan dvd = PlanDisc(Disc(formatDvd), dvd5, {{9000, 192000}, {9000, 192000}});
    ASSERT_TRUE(dvd.fits);
    EXPECT_TRUE(dvd.halfWidth);
    EXPECT_EQ(dvd.videoBitRate, 1817295);
    ASSERT_EQ(dvd.plannedBytes.size(), 2u);
    EXPECT_EQ(dvd.plannedBytes[0], 2350038175);
    EXPECT_EQ(dvd.totalBytes, 4700371262);
    const DiscPlan ntsc = PlanDisc(*FindDiscFormat(formatDvd, standardNtsc), dvd5, {{9000, 192000}, {9000, 192000}});
    EXPECT_TRUE(ntsc.halfWidth);
    EXPECT_EQ(ntsc.videoBitRate, 1817295);

    // 13520 s fill it at 2,501,555 bit/s, full width still; ten seconds more at 2,499,523, half width.
    const DiscPlan last = PlanDisc(Disc(formatDvd), dvd5, {{13520, 192000}});
    ASSERT_TRUE(last.fits);
    EXPECT_FALSE(last.halfWidth);
    EXPECT_EQ(last.videoBitRate, 2501555);
    const DiscPlan first = PlanDisc(Disc(formatDvd), dvd5, {{13530, 192000}});
    ASSERT_TRUE(first.fits);
    EXPECT_TRUE(first.halfWidth);
    EXPECT_EQ(first.videoBitRate, 2499523);

    // The earlier cases keep the full width, and the half width is asked for by no other disc.
    EXPECT_FALSE(PlanDisc(Disc(formatDvd), dvd5, {{7200, 192000}}).halfWidth);
    EXPECT_FALSE(PlanDisc(Disc(formatDvd), dvd5, {{3600, 192000}}).halfWidth);
    EXPECT_FALSE(PlanDisc(Disc(formatSvcd), cd80, {{3600, 224000}}).halfWidth);
    EXPECT_FALSE(PlanDisc(Disc(formatSvcd), cd80, {{3000, 224000}, {1800, 224000}}).halfWidth);
    EXPECT_FALSE(PlanDisc(Disc(formatVcd), cd80, {{80 * 60, 224000}}).halfWidth);
}

TEST(DiscPlan, ABatchBeyondTheLowestRateIsRefusedSayingWhatFits)
{
    // At half width's 1.25 Mbit/s a DVD-5 holds 413 minutes.
    const DiscPlan dvd = PlanDisc(Disc(formatDvd), dvd5, {{30000, 192000}});
    EXPECT_FALSE(dvd.fits);
    EXPECT_EQ(RefusalMessage(dvd, dvd5), "at most 413 minutes on DVD-5 at this quality; the batch has 500");
    EXPECT_EQ(dvd.discsNeeded, 2);
    EXPECT_EQ(dvd.videoBitRate, 1250000);

    const DiscPlan svcd = PlanDisc(Disc(formatSvcd), cd80, {{3000, 224000}, {1800, 224000}});
    EXPECT_FALSE(svcd.fits);
    EXPECT_EQ(RefusalMessage(svcd, cd80), "at most 63 minutes on CD 80 min at this quality; the batch has 80");
    EXPECT_EQ(svcd.discsNeeded, 2);

    const DiscPlan four = PlanDisc(Disc(formatDvd), {DiscSizeKind::megabytes, 4000}, {{72000, 192000}});
    EXPECT_FALSE(four.fits);
    EXPECT_EQ(four.discsNeeded, 4);
}

TEST(DiscPlan, VcdOnlyChecksItsConstantRate)
{
    // 75 sectors of 2324 bytes a second: 79.8 minutes fit an 80-minute CD beside the authoring's files.
    const DiscPlan fits = PlanDisc(Disc(formatVcd), cd80, {{79 * 60, 224000}});
    ASSERT_TRUE(fits.fits);
    EXPECT_EQ(fits.videoBitRate, 1150000);
    EXPECT_EQ(fits.plannedBytes[0], 79 * 60 * 174300);
    const DiscPlan refused = PlanDisc(Disc(formatVcd), cd80, {{80 * 60, 224000}});
    EXPECT_FALSE(refused.fits);
    EXPECT_EQ(RefusalMessage(refused, cd80), "at most 79 minutes on CD 80 min at this quality; the batch has 80");
}

TEST(DiscPlan, AnEmptyBatchFitsAndPlansNothing)
{
    const DiscPlan plan = PlanDisc(Disc(formatDvd), dvd5, {});
    EXPECT_TRUE(plan.fits);
    EXPECT_TRUE(plan.plannedBytes.empty());
}

} // namespace
} // namespace discforge
