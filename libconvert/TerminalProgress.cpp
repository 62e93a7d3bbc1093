#include "TerminalProgress.h"

#include <cstdio>

namespace discforge::convert {
namespace {

constexpr int barWidth = 24;

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

TerminalProgress::TerminalProgress(std::string outputName) : outputName_(BaseName(outputName)) {}

TerminalProgress::~TerminalProgress()
{
    if (shown_) {
        std::fputc('\n', stderr);
    }
}

void TerminalProgress::Show(const ProgressReport& report)
{
    const ProgressFigures figures = FiguresOf(report);
    char bar[barWidth + 1];
    const int filled = figures.percent * barWidth / 100;
    for (int i = 0; i < barWidth; ++i) {
        bar[i] = i < filled ? '#' : '.';
    }
    bar[barWidth] = '\0';
    // Clear to the end of the line: the new text may be shorter than the last one.
    std::fprintf(stderr, "\r%s %s[%s] %3d%% %lld/%lld  %.1f frames/s  elapsed %s  remaining %s\033[K",
                 outputName_.c_str(), figures.pass.c_str(), bar, figures.percent,
                 static_cast<long long>(report.picturesDone), static_cast<long long>(report.picturesTotal),
                 figures.picturesPerSecond, figures.elapsed.c_str(), figures.remaining.c_str());
    std::fflush(stderr);
    shown_ = true;
}

} // namespace discforge::convert
