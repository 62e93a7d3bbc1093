#include "ProgressView.h"

#include "EncoderMessages.h"

#include <cmath>
#include <cstdio>

namespace discforge::convert {
namespace {

std::string ClockText(double seconds)
{
    const auto whole = static_cast<long long>(seconds < 0 ? 0 : std::llround(seconds));
    char text[32];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    }
    return text;
}

} // namespace

ProgressFigures FiguresOf(const ProgressReport& report)
{
    ProgressFigures figures;
    if (report.picturesTotal > 0) {
        figures.percent = static_cast<int>(report.picturesDone * 100 / report.picturesTotal);
    }
    figures.elapsed = ClockText(report.elapsedSeconds);
    if (report.passes > 1) {
        figures.pass
            = message::Substitute(message::progressPass, {std::to_string(report.pass), std::to_string(report.passes)});
    }
    const bool speedKnown = report.elapsedSeconds > 0 && report.picturesDone > 0;
    if (speedKnown) {
        figures.picturesPerSecond = static_cast<double>(report.picturesDone) / report.elapsedSeconds;
    }
    figures.remaining =
        speedKnown ? ClockText(static_cast<double>(report.picturesTotal - report.picturesDone) / figures.picturesPerSecond)
                   : std::string(1, '-');
    return figures;
}

} // namespace discforge::convert
