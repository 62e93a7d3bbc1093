#include "SampleInputs.h"

#include <gtest/gtest.h>

#include <cmath>

namespace discforge::test {

double FramesPerSecond(mediagen::FrameRate rate)
{
    int numerator = 0;
    int denominator = 0;
    mediagen::FrameRateFraction(rate, numerator, denominator);
    return static_cast<double>(numerator) / denominator;
}

std::int64_t FramesIn(double seconds, mediagen::FrameRate rate)
{
    return std::llround(seconds * FramesPerSecond(rate));
}

bool MakeAvi(const std::string& path, mediagen::AviRecipe recipe)
{
    recipe.path = path;
    std::string error;
    const bool written = mediagen::WriteAvi(recipe, error);
    EXPECT_TRUE(written) << path << ": " << error;
    return written;
}

bool MakeClip(const std::string& path, double seconds, mediagen::FrameRate rate)
{
    mediagen::AviRecipe recipe;
    recipe.rate = rate;
    recipe.width = sampleWidth;
    recipe.height = sampleHeight(rate == mediagen::FrameRate::Pal25);
    recipe.frames = FramesIn(seconds, rate);
    return MakeAvi(path, recipe);
}

} // namespace discforge::test
