#include "app/DiscMeter.h"

#include <gtest/gtest.h>

namespace discforge {
namespace {

TEST(DiscMeter, SaysWhatTheBatchTakesOfItsDiscOrHowManyDiscsItNeeds)
{
    const DiscFormat& dvd = *FindDiscFormat(formatDvd, standardPal);
    const DiscFormat& svcd = *FindDiscFormat(formatSvcd, standardPal);
    // An hour at the highest average rate: 3,754,784,768 bytes of 4,700,372,992.
    EXPECT_EQ(DiscMeterText(PlanDisc(dvd, {DiscSizeKind::dvd5, 0}, {{3600, 192000}})), "3.7 of 4.7 GB");
    // Filled to its last sector: 836,639,744 bytes of 836,640,000.
    EXPECT_EQ(DiscMeterText(PlanDisc(svcd, {DiscSizeKind::cd80, 0}, {{3600, 224000}})), "836 of 836 MB");
    // 300 minutes at half width: 4,700,371,262 bytes.
    EXPECT_EQ(DiscMeterText(PlanDisc(dvd, {DiscSizeKind::dvd5, 0}, {{9000, 192000}, {9000, 192000}})),
        "4.7 of 4.7 GB, half width");
    EXPECT_EQ(DiscMeterText(PlanDisc(dvd, {DiscSizeKind::dvd5, 0}, {{30000, 192000}})), "needs 2 discs");
    EXPECT_EQ(DiscMeterText(PlanDisc(dvd, {DiscSizeKind::megabytes, 4000}, {{72000, 192000}})), "needs 4 discs");
}

} // namespace
} // namespace discforge
