#include "app/MenuPalette.h"

#include <algorithm>
#include <cmath>

namespace discforge {
namespace {

double Linear(std::uint8_t channel)
{
    const double value = channel / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

} // namespace

double RelativeLuminance(const MenuColour& colour)
{
    return 0.2126 * Linear(colour.red) + 0.7152 * Linear(colour.green) + 0.0722 * Linear(colour.blue);
}

double ContrastRatio(const MenuColour& first, const MenuColour& second)
{
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

} // namespace discforge
