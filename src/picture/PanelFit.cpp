#include "picture/PanelFit.h"

#include <climits>
#include <cmath>
#include <cstdint>

namespace discforge {

namespace {

// Nearest whole number, halves going up; the steps and sizes are computed in
// single precision and only the rounding is exact.
int Round(float value)
{
    const double rounded = std::floor(static_cast<double>(value) + 0.5);
    if (rounded >= INT_MAX) {
        return INT_MAX;
    }
    return rounded <= INT_MIN ? INT_MIN : static_cast<int>(rounded);
}

int AtLeastOne(int value) { return value >= 2 ? value : 1; }

int SizeAtStep(int side, int step) { return AtLeastOne(Round(static_cast<float>(side) / static_cast<float>(step))); }

int Kept(int side, int step) { return static_cast<int>((static_cast<std::int64_t>(side) + step - 1) / step); }

void ReduceToPanel(int width, int height, int panelWidth, int panelHeight, PanelFit& fit)
{
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float byWidth = static_cast<float>(panelWidth - 1) / w;
    const float byHeight = static_cast<float>(panelHeight - 1) / h;
    const float scale = byWidth < byHeight ? byWidth : byHeight;
    fit.shownWidth = AtLeastOne(Round(w * scale));
    fit.shownHeight = AtLeastOne(Round(h * scale));
    fit.horizontalStep = AtLeastOne(Round(w / static_cast<float>(fit.shownWidth)));
    fit.verticalStep = AtLeastOne(Round(h / static_cast<float>(fit.shownHeight)));
    // A step rounded down leaves more pixels than there is room for: both
    // steps grow, which keeps the shape.
    auto growBoth = [&] {
        ++fit.horizontalStep;
        ++fit.verticalStep;
        fit.shownWidth = SizeAtStep(width, fit.horizontalStep);
        fit.shownHeight = SizeAtStep(height, fit.verticalStep);
    };
    if (Round(w / static_cast<float>(fit.horizontalStep)) > fit.shownWidth) {
        growBoth();
    } else {
        fit.shownWidth = SizeAtStep(width, fit.horizontalStep);
    }
    if (Round(h / static_cast<float>(fit.verticalStep)) > fit.shownHeight) {
        growBoth();
    } else {
        fit.shownHeight = SizeAtStep(height, fit.verticalStep);
    }
    const double pictureAspect = static_cast<double>(width) / height;
    const double shownAspect = static_cast<double>(fit.shownWidth) / fit.shownHeight;
    if (std::fabs(pictureAspect - shownAspect) > 0.1) {
        if (pictureAspect < shownAspect) {
            ++fit.horizontalStep;
            fit.shownWidth = SizeAtStep(width, fit.horizontalStep);
        } else {
            ++fit.verticalStep;
            fit.shownHeight = SizeAtStep(height, fit.verticalStep);
        }
    }
}

} // namespace

PanelFit FitToPanel(int width, int height, int panelWidth, int panelHeight)
{
    PanelFit fit;
    if (width <= 0 || height <= 0) {
        return fit;
    }
    if (width <= panelWidth - 1 && height <= panelHeight - 1) {
        fit.shownWidth = width;
        fit.shownHeight = height;
    } else {
        ReduceToPanel(width, height, panelWidth, panelHeight, fit);
    }
    fit.horizontalOffset = fit.shownWidth < panelWidth ? (panelWidth - fit.shownWidth) >> 1 : 0;
    fit.verticalOffset = fit.shownHeight < panelHeight ? (panelHeight - fit.shownHeight) >> 1 : 0;
    fit.keptColumns = Kept(width, fit.horizontalStep);
    fit.keptRows = Kept(height, fit.verticalStep);
    return fit;
}

} // namespace discforge
