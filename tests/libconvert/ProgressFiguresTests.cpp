// The figures of the progress views: two passes are one bar over both, the pass named.
#include "ProgressView.h"

#include <gtest/gtest.h>

namespace discforge::convert {
namespace {

TEST(ProgressFigures, TwoPassesShowOneBarWithThePassNamed)
{
    // Half of the first pass of 100 pictures: a quarter of the whole work.
    const ProgressFigures first = FiguresOf({50, 200, 10.0, 1, 2});
    EXPECT_EQ(first.percent, 25);
    EXPECT_EQ(first.pass, "Pass 1 of 2 - ");
    EXPECT_EQ(first.remaining, "0:30");
    const ProgressFigures second = FiguresOf({150, 200, 30.0, 2, 2});
    EXPECT_EQ(second.percent, 75);
    EXPECT_EQ(second.pass, "Pass 2 of 2 - ");
    const ProgressFigures single = FiguresOf({150, 200, 30.0});
    EXPECT_EQ(single.pass, "");
    EXPECT_EQ(single.percent, 75);
}

} // namespace
} // namespace discforge::convert
